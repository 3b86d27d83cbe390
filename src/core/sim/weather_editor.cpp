#include "sim/weather_editor.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/convert.h"

namespace vm {

const char kRefreshRunningText[] = " A cloud refresh is running. Try again when it has finished.\r\n";
const char kNoRoomText[] = " There is no room for a new layer below this layer.\r\n";

namespace {

constexpr char kTitle[] = "Data Input Error";
constexpr char kShown[] = "###,###,##0";
constexpr char kStepped[] = "###,###,###0";
constexpr int32_t kTypeCodes[] = {1, 9, 8, 10};  // cmbType entries 0..3

// The layer lists edited through each text box, in arrow-button order.
constexpr int kTextList[] = {kLayerTop, kLayerBase, kLayerDeviation, kLayerPrecBase};

std::string Shown(int32_t feet) { return FormatNumber(feet, kShown); }
std::string Stepped(int32_t feet) { return FormatNumber(feet, kStepped); }

}  // namespace

const std::vector<std::string>& WxListItems(WxList list) {
    static const std::vector<std::string> type = {"Cirrus", "Cumulus", "Stratus", "Thunderstrom"};
    static const std::vector<std::string> cover = {"Few        (1/8)", "Few        (2/8)", "Scattered (3/8)",
                                                   "Scattered (4/8)", "Broken    (5/8)", "Broken    (6/8)",
                                                   "Broken    (7/8)", "Overcast  (8/8)"};
    static const std::vector<std::string> turbulence = {"None", "Occasional", "Light", "Moderate", "Severe"};
    static const std::vector<std::string> ice = {"None", "Trace", "Light", "Moderate", "Severe"};
    static const std::vector<std::string> precType = {"None", "Rain", "Snow"};
    static const std::vector<std::string> precRate = {"None", "Very light", "Light", "Moderate", "Heavy", "Very heavy"};
    switch (list) {
    case WxList::cmbType: return type;
    case WxList::cmbCover: return cover;
    case WxList::cmbTrubulence: return turbulence;
    case WxList::cmbIce: return ice;
    case WxList::cmbPrecType: return precType;
    case WxList::cmbPrecRate: break;
    }
    return precRate;
}

int TypeEntry(int32_t code) {
    for (int e = 0; e < 4; ++e)
        if (kTypeCodes[e] == code) return e;
    return 0;
}

int32_t TypeCode(int entry) { return entry >= 0 && entry < 4 ? kTypeCodes[entry] : kTypeCodes[0]; }

std::optional<int32_t> EditorNumber(std::string_view text) {
    // The editor shows its numbers grouped ("5,000"): a comma between digits
    // of the whole part is a group mark and is read past.
    std::string plain;
    bool whole = true;
    for (size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.' || c == 'e' || c == 'E') whole = false;
        if (c == ',' && whole && k > 0 && k + 1 < text.size() &&
            std::isdigit(static_cast<unsigned char>(text[k - 1])) &&
            std::isdigit(static_cast<unsigned char>(text[k + 1])))
            continue;
        plain += c;
    }
    if (!ToInt32(plain)) return std::nullopt;
    return WholePart(*ToDouble(plain));
}

WeatherEditor::WeatherEditor(Fsuipc& link, ComIpc& weather, Clock& clock, Messages& messages,
                             int32_t waitTimeMs, WeatherView& view, SimWatchSwitch& watch)
    : link_(link),
      weather_(weather),
      clock_(clock),
      messages_(messages),
      waitTimeMs_(waitTimeMs),
      view_(view),
      watch_(watch) {}

void WeatherEditor::Form_Load() {
    linkWasOpen_ = link_.IpcLinked;
    linkWatchWasOn_ = watch_.LinkWatchOn();
    if (!link_.IpcLinked) watch_.UseLinkWatch(true);
}

void WeatherEditor::Form_Activate() {
    if (!receiveOnActivate_) return;
    receiveOnActivate_ = false;
    if (Usable() && !weather_.RefreshBusy) cmdReceive_Click();
}

void WeatherEditor::Form_Unload() {
    view_.SetRepeat(false);
    receiveOnActivate_ = false;
    if (!linkWatchWasOn_) watch_.UseLinkWatch(false);
    // The link opened for this window goes with it, unless someone else
    // holds it: the main window's watch that connects (the program keeps
    // the link for its cloud refresh or its sound), the sound desk following
    // the simulator, or a cloud refresh under way.
    if (!linkWasOpen_ && !watch_.LinkWatchOn() && !watch_.MusicKeepsLink() && !weather_.RefreshBusy)
        link_.IpcClose();
}

bool WeatherEditor::MayChange() {
    if (!Usable()) return false;
    if (weather_.RefreshBusy) {
        // The refresh lets messages run between its steps and puts its own
        // copy of the layers back when it stops early: a change now would be
        // lost or overwritten.
        messages_.ShowMsg(kRefreshRunningText, 64, "Weather Setting");
        return false;
    }
    return true;
}

std::optional<int> WeatherEditor::ShownLayer() {
    const std::string text = Trim(view_.LayerNo());
    const std::optional<double> d = ToDouble(text);
    if (!d || *d != std::floor(*d) || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    if (*d < 1 || *d > double(weather_.Layers.Count())) return std::nullopt;
    return int(*d);
}

void WeatherEditor::SetEditEnabled(bool enable, std::optional<bool> buttons) {
    view_.SetEditingEnabled(enable);
    if (buttons) {
        view_.SetButtonsEnabled(*buttons);
    } else if (!Usable()) {
        view_.SetButtonsEnabled(false);
        view_.SetLayerNo("Not Received");
    }
}

void WeatherEditor::cmdReceive_Click() {
    if (!MayChange()) return;
    view_.SetEditingEnabled(false);
    const size_t noted = weather_.Layers.Count();
    const int count = weather_.ReadLayers();
    if (count <= 0) return;
    view_.SetEditingEnabled(true);
    view_.SetScrollRange(0, count + 1);
    if (size_t(count) != noted) {
        view_.SetScrollPos(1);
        view_.SetLayerNo("1");
    }
    vsbLayer_Change();
    view_.SetButtonsEnabled(true);
    view_.FocusButton(WxButton::cmdReceive);
}

void WeatherEditor::vsbLayer_Change() {
    const int count = int(weather_.Layers.Count());
    if (count == 0) return;
    int pos = view_.ScrollPos();
    if (pos > count) {
        pos = 1;
        view_.SetScrollPos(pos);
    } else if (pos < 1) {
        pos = count;
        view_.SetScrollPos(pos);
    }
    view_.SetLayerNo(std::to_string(pos));
    ShowLayer();
}

void WeatherEditor::ShowLayer() {
    const std::optional<int> i = ShownLayer();
    if (!i) return;
    auto code = [&](WxList list, int32_t value) {
        const int n = int(WxListItems(list).size());
        view_.SetListIndex(list, value >= 0 && value < n ? value : -1);
    };
    view_.SetListIndex(WxList::cmbType, TypeEntry(Entry(kLayerType, *i)));
    code(WxList::cmbCover, Entry(kLayerCoverage, *i) - 1);
    for (int f = 0; f < 4; ++f) view_.SetText(WxText(f), Shown(Entry(kTextList[f], *i)));
    code(WxList::cmbTrubulence, Entry(kLayerTurbulence, *i));
    code(WxList::cmbIce, Entry(kLayerIcing, *i));
    code(WxList::cmbPrecType, Entry(kLayerPrecType, *i));
    code(WxList::cmbPrecRate, Entry(kLayerPrecRate, *i));
}

std::string WeatherEditor::CheckLayer(int i) {
    const int count = int(weather_.Layers.Count());
    std::string msg;
    auto fail = [&](const char* text) { msg += std::string(text) + "\r\n"; };

    const std::optional<int32_t> top = EditorNumber(view_.Text(WxText::txtTop));
    if (!top) {
        fail(" Top value can't be changed to number.");
        return msg;
    }
    if (*top > kMaxTopFeet) {
        fail(" Top value should be 100,000 or less.");
        view_.SetText(WxText::txtTop, Shown(kMaxTopFeet));
        view_.FocusText(WxText::txtTop);
    }
    if (i < count && *top > Entry(kLayerBase, i + 1)) {
        fail(" Top value should be less than base of upper layer.");
        view_.SetText(WxText::txtTop, Stepped(Entry(kLayerBase, i + 1)));
    }
    const std::optional<int32_t> base = EditorNumber(view_.Text(WxText::txtBase));
    if (!base) {
        fail(" Base value can't be changed to number.");
        return msg;
    }
    if (*base < 1) {
        fail(" Base value should be greater than 1.");
        view_.SetText(WxText::txtBase, "1");
    }
    if (i != 1 && *base < Entry(kLayerTop, i - 1)) {
        fail(" Base value should be greater than top of lower layer.");
        view_.SetText(WxText::txtBase, Stepped(Entry(kLayerTop, i - 1)));
    }
    if (*top <= *base) fail(" Top value should be greater than Base Value.");
    const std::optional<int32_t> dev = EditorNumber(view_.Text(WxText::txtDev));
    if (!dev) {
        fail(" Deviation value can't be changed to number.");
        return msg;
    }
    if (*dev < 0 || *dev > kMaxDeviationFeet) {
        fail(" Deviation value shoul be from 0 to 2,000.");
        view_.SetText(WxText::txtDev, "0");
    }
    const std::optional<int32_t> precBase = EditorNumber(view_.Text(WxText::txtPrecBaseAlt));
    if (!precBase) {
        fail(" Base Alt. value can't be changed to number.");
        return msg;
    }
    const int32_t limit = Entry(kLayerBase, i) - 1;
    if (*precBase < 0 || *precBase > limit) {
        fail((" Base Alt. value shoul be from 0 to " + Shown(limit) + ".").c_str());
        view_.SetText(WxText::txtPrecBaseAlt, "0");
    }
    return msg;
}

void WeatherEditor::WaitAndReceive() {
    weather_.WriteLayers();
    clock_.Sleep(unsigned(std::max<int32_t>(waitTimeMs_, 0)));
    cmdReceive_Click();
}

void WeatherEditor::cmdSend_Click() {
    if (!MayChange()) return;
    const std::optional<int> i = ShownLayer();
    if (!i) return;
    const std::string msg = CheckLayer(*i);
    if (!msg.empty()) {
        messages_.ShowMsg(msg, 64, kTitle);
        return;
    }
    view_.SetEditingEnabled(false);
    LayerLists& l = weather_.Layers;
    const size_t at = size_t(*i - 1);
    if (!Trim(view_.ListText(WxList::cmbType)).empty())
        l.list[kLayerType][at] = TypeCode(view_.ListIndex(WxList::cmbType));
    if (!Trim(view_.ListText(WxList::cmbCover)).empty())
        l.list[kLayerCoverage][at] = view_.ListIndex(WxList::cmbCover) + 1;
    for (int f = 0; f < 4; ++f) l.list[kTextList[f]][at] = EditorNumber(view_.Text(WxText(f))).value_or(0);
    // A list that shows nothing (a code the editor has no item for) keeps
    // the code read from the simulator.
    auto code = [&](WxList list, int index) {
        const int entry = view_.ListIndex(list);
        if (entry >= 0) l.list[index][at] = entry;
    };
    code(WxList::cmbTrubulence, kLayerTurbulence);
    code(WxList::cmbIce, kLayerIcing);
    code(WxList::cmbPrecType, kLayerPrecType);
    code(WxList::cmbPrecRate, kLayerPrecRate);
    WaitAndReceive();
}

void WeatherEditor::cmdAdd_Click() {
    if (!MayChange()) return;
    LayerLists& l = weather_.Layers;
    if (l.Count() == 0) {
        // No layers is only an empty weather when the table was read: after
        // a failed read the simulator's layers would be replaced by this one.
        if (!weather_.LayersRead()) return;
        const int32_t cumulus[10] = {9, 3, 5000, 1500, 0, 0, 0, 0, 0, 0};
        for (int k = 0; k < 10; ++k) l.list[k].push_back(cumulus[k]);
        WaitAndReceive();
        return;
    }
    const std::optional<int> i = ShownLayer();
    if (!i) return;
    const int32_t base = Entry(kLayerBase, *i);
    const int64_t room = *i == 1 ? base : int64_t(base) - Entry(kLayerTop, *i - 1);
    if (room <= 3) {
        // Less room would give a layer whose base is not below its top.
        messages_.ShowMsg(kNoRoomText, 64, kTitle);
        return;
    }
    const int32_t depth = room >= 500 ? 500 : int32_t(room - 1);
    const size_t at = size_t(*i - 1);
    for (int k = 0; k < 10; ++k) {
        int32_t v = l.list[k][at];
        if (k == kLayerTop) v = base - 1;
        if (k == kLayerBase) v = base - depth + 1;
        l.list[k].insert(l.list[k].begin() + std::ptrdiff_t(at), v);
    }
    WaitAndReceive();
    view_.FocusButton(WxButton::cmdAdd);
}

void WeatherEditor::cmdDel_Click() {
    if (!MayChange()) return;
    const std::optional<int> i = ShownLayer();
    if (!i) return;
    view_.SetEditingEnabled(false);
    for (auto& list : weather_.Layers.list) list.erase(list.begin() + (*i - 1));
    WaitAndReceive();
    if (weather_.Layers.Count() > 0) view_.FocusButton(WxButton::cmdDel);
}

void WeatherEditor::ArrowDown(int index, int amount) {
    if (index < 0 || index > 3) return;
    StepField = index;
    StepAmount = amount;
    const bool bound = StepValue();
    clock_.Sleep(200);
    // Held at a bound already: nothing to repeat.
    if (!bound) view_.SetRepeat(true);
}

bool WeatherEditor::StepValue() {
    const std::optional<int> i = ShownLayer();
    const WxText box = WxText(StepField);
    const std::optional<int32_t> value = EditorNumber(view_.Text(box));
    if (!i || !value) return false;
    const int count = int(weather_.Layers.Count());
    int64_t v = int64_t(*value) + StepAmount;
    std::optional<int64_t> hi, lo;
    auto atMost = [&](int64_t b) { hi = hi ? std::min(*hi, b) : b; };
    auto atLeast = [&](int64_t b) { lo = lo ? std::max(*lo, b) : b; };
    switch (StepField) {
    case 0:
        atMost(kMaxTopFeet);
        if (*i < count) atMost(Entry(kLayerBase, *i + 1));
        if (auto b = EditorNumber(view_.Text(WxText::txtBase))) atLeast(int64_t(*b) + 1);
        break;
    case 1:
        atLeast(1);
        if (*i > 1) atLeast(Entry(kLayerTop, *i - 1));
        if (auto t = EditorNumber(view_.Text(WxText::txtTop))) atMost(int64_t(*t) - 1);
        break;
    case 2:
        atLeast(0);
        atMost(kMaxDeviationFeet);
        break;
    default:
        atLeast(0);
        atMost(int64_t(Entry(kLayerBase, *i)) - 1);
        break;
    }
    bool bound = false;
    if (hi && v >= *hi) {
        v = *hi;
        bound = true;
    } else if (lo && v <= *lo) {
        v = *lo;
        bound = true;
    }
    view_.SetText(box, FormatNumber(double(v), kStepped));
    if (bound) view_.SetRepeat(false);
    return bound;
}

void WeatherEditor::tmrAlt_Timer() {
    if (Usable()) {
        double feet = 0;
        view_.SetAltitude(weather_.ReadAltitude(feet) ? FormatNumber(feet, "###,###,###0.0") : "Error");
    } else {
        view_.SetAltitude("Not received");
    }
    if (!WasLinked && link_.SimRunning && !link_.IpcOpened) link_.IpcConnect();
    if (!Usable()) {
        if (WasLinked) SetEditEnabled(false, false);
        WasLinked = false;
    } else if (!WasLinked && !weather_.RefreshBusy) {
        // While a cloud refresh runs the first receive waits for a later tick.
        WasLinked = true;
        SetEditEnabled(true, true);
        cmdReceive_Click();
    }
}

WeatherTable::WeatherTable(OperationGuard& guard, WeatherView& view, ScrollBars& bars)
    : bars_(bars), events_(guard, hold::kWeatherWindow) {
    using namespace hold;
    EventTable& t = events_;
    const int any = EventTable::kAnyCode;
    const auto editor = [this](void (WeatherEditor::*f)()) {
        return [this, f] {
            if (editor_) (editor_->*f)();
        };
    };
    const Holds layers = kLink | kWeather;
    t.On(cmdReceive, kClicked, Policy::Start, layers, editor(&WeatherEditor::cmdReceive_Click));
    t.On(cmdSend, kClicked, Policy::Start, layers, editor(&WeatherEditor::cmdSend_Click));
    t.On(cmdAdd, kClicked, Policy::Start, layers, editor(&WeatherEditor::cmdAdd_Click));
    t.On(cmdDel, kClicked, Policy::Start, layers, editor(&WeatherEditor::cmdDel_Click));
    t.On(evActivate, any, Policy::Start, layers, editor(&WeatherEditor::Form_Activate));
    t.On(vsbLayer, any, Policy::Start, kNothing, [this](const Event& e) { Scroll(e.code); });
    for (int k = 0; k < 4; ++k) {
        t.On(cmdTopUp0 + k, kArrowDown, Policy::Start, kNothing, [this, k] {
            if (editor_) editor_->cmdTopUp_MouseDown(k);
        });
        t.On(cmdTopDn0 + k, kArrowDown, Policy::Start, kNothing, [this, k] {
            if (editor_) editor_->cmdTopDn_MouseDown(k);
        });
        // Letting go always ends the repeat.
        for (int arrow : {cmdTopUp0 + k, cmdTopDn0 + k})
            t.On(arrow, kArrowUp, Policy::Free, kNothing, editor(&WeatherEditor::cmdTop_MouseUp));
    }
    t.On(tmr1, any, Policy::Tick, kNothing, editor(&WeatherEditor::tmr1_Timer));
    t.On(tmrAlt, any, Policy::Tick, kLink, editor(&WeatherEditor::tmrAlt_Timer));
    t.On(evClose, any, Policy::Close, kNothing, [&view] { view.Close(); });
}

void WeatherTable::Scroll(int code) {
    if (code == int(ScrollCode::ThumbTrack) || code < int(ScrollCode::LineUp) || code > int(ScrollCode::EndScroll))
        return;
    const BarState b = bars_.Bar(vsbLayer);
    const ScrollStep step = motion_.Apply(ScrollCode(code), b.pos, b.track, b.min, b.max, 1, 1);
    if (!step.change) return;  // the shown layer keeps what is being edited
    bars_.SetBarPos(vsbLayer, step.pos);
    if (editor_) editor_->vsbLayer_Change();
}

}  // namespace vm

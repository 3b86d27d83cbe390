// The simulator's splash picture, changed before each start to the next of a
// numbered series of bitmaps ("dlgsplash1.bmp", "dlgsplash2.bmp", ...).
#pragma once

#include <string>

#include "common/ports.h"
#include "config/settings.h"

namespace vm {

// The simulator's splash file and its saved original.
std::string SplashFile(const Settings& s);
std::string SplashOriginal(const Settings& s);

// At each selection of a simulator: switches the rotation off without a
// splash folder, saves that simulator's own splash once (a temporary copy,
// then one replace), and counts the numbered bitmaps (no gaps). Gives that
// count.
int SplashSetup(Env& env, Settings& s);

// The number after `lastNo` of `count` bitmaps: in order (any mode but
// "random"), starting again at 1 past the end; at random, never `lastNo`
// again when there is a choice.
int NextSplashNumber(Env& env, const std::string& mode, int lastNo, int count);

// Before a start: chooses the next bitmap, records its number in cloud.ini
// (keeping IniTime) and puts it in the simulator's place in one step, so a
// failed copy leaves the simulator's splash as it was. A splash whose
// original was never saved is left alone. False when nothing was copied for
// one of those reasons.
bool RotateSplash(Env& env, Settings& s, int count);

}  // namespace vm

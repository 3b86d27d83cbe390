// ".m3u" playlists of the music list. The platform's media player cannot
// render them, so the desk reads them itself and plays their entries one
// after another as one title of the music list.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vm {

// Whether a music title is an ".m3u" playlist (the extension in any case).
bool IsM3u(const std::string& path);

// The entries of a playlist's text, as full paths in playlist order.
// Plain and extended playlists: a UTF-8 byte-order mark, "#EXTM3U",
// "#EXTINF" and other lines beginning with "#", and blank lines are read
// past; lines end in CR LF, LF or CR. An entry is an absolute path ("C:\...",
// "\\server\share\..."), a path from the root of the playlist's drive
// ("\Music\..."), a "file:" address, or a path relative to `folder` (the
// playlist's own folder); forward slashes are taken as backslashes and "."
// and ".." steps are resolved. Addresses of other kinds (streams) have no
// file to play and are left out.
//
// A playlist that begins with the byte-order mark is UTF-8 text: an entry
// with other than ASCII characters goes through `fromUtf8` into the code
// page of the program's file names, and is left out when that gives the
// empty text (a character the code page has no place for).
std::vector<std::string> ReadM3u(const std::string& text, const std::string& folder,
                                 const std::function<std::string(const std::string&)>& fromUtf8 = {});

}  // namespace vm

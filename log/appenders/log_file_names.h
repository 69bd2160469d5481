// The names of dated and numbered log files.
#pragma once

#include <string>
#include <string_view>

// file with suffix appended to its base name, before the extension: "app.log"
// with ".2010-05-09" gives "app.2010-05-09.log". The new base name is cut to
// 255 bytes (the longest name most file systems take), never inside a UTF-8
// character.
std::string LogFileNameWithSuffix(const std::string& file, std::string_view suffix);

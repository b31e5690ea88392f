#!/usr/bin/python3
"""Writes windows_zones.inc, the table of IANA and Windows time zone names that tsy uses to find
a calendar's zone among the system's zones, from the CLDR windowsZones mapping that Debian's
python3-tzlocal carries (tzlocal.windows_tz).

    /usr/bin/python3 tools/tsy/windows_zones.py   # needs python3-tzlocal; rewrites the file"""
import os

from tzlocal import windows_tz

lines = [
    "// Time zone names: IANA (tz database) to Windows and back, from the Unicode CLDR",
    "// windowsZones table. Plain data, included once by zones.cpp; regenerate with",
    "// tools/tsy/windows_zones.py when the table changes.",
    "// clang-format off",
    "constexpr std::pair<std::string_view, std::string_view> kIanaToWindows[] = {",
]
lines += ['    {"%s", "%s"},' % (k, windows_tz.tz_win[k]) for k in sorted(windows_tz.tz_win)]
lines += [
    "};",
    "// Each Windows zone's main IANA name (the CLDR's \"001\" territory).",
    "constexpr std::pair<std::string_view, std::string_view> kWindowsToIana[] = {",
]
lines += ['    {"%s", "%s"},' % (k, windows_tz.win_tz[k]) for k in sorted(windows_tz.win_tz)]
lines += ["};", "// clang-format on"]
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "windows_zones.inc"), "w") as f:
    f.write("\n".join(lines) + "\n")

// WriteInstallInfo: leaves the facts the installed product's usage analytics
// reads: four keys in "set.ini" of the installation folder and a time stamp
// in the per-user analytics file.
//
//   <installDir>\set.ini  [Install] APPStore = this installer's file name
//                                   AppName  = "tarnwick"
//                                   DeviceID = a new 32-digit GUID text
//                                   BriselSensorsAnalyticsIni = analytics file
//                                     (only when its folder could be made)
//   <APPDATA or public documents>\BriselData\Tarnwick\BriselSensorsAnalytics.ini
//                         [Init] UpdateTime = "YYYY-MM-DD hh:mm:ss", local time
//
// Nothing is read back and nothing is sent anywhere. Every write's result is
// ignored: a folder that cannot be written simply gets no keys. Other keys of
// "set.ini" (such as [Uninstall] IsOverride) are left alone. Called on the
// owner's (window's) thread.
#pragma once

#include <string>

#include "platform/clock.h"

// APPDATA, or the public documents folder when it is unset or empty, followed by
// BriselData\Tarnwick. Empty when neither base can be told.
std::wstring AnalyticsDataFolder();

// "%d-%02d-%02d %02d:%02d:%02d"
std::wstring FormatUpdateTime(const platform::LocalTime& t);

void WriteInstallInfo(const std::wstring& installDir);

#pragma once
// Every text Fetchwell shows or logs, in one place. Log texts followed by a
// colon get their detail appended.

#include <string_view>

namespace updater_text {

// Message boxes.
inline constexpr std::string_view kBoxCaption = "提示";
inline constexpr std::string_view kUpdateQuestion = "发现新版本，是否进行升级";
inline constexpr std::string_view kRestartQuestion = "更新成功，是否重新启动程序!";

// The run.
inline constexpr std::string_view kStartChecking = "开始检查更新";
inline constexpr std::string_view kUserDeclined = "客户手动取消更新";
inline constexpr std::string_view kRestarted = "已成功更新到";
inline constexpr std::string_view kRestartDeclined = "更新成功，客户不需要立刻重启程序";
inline constexpr std::string_view kVersionNotSaved = "版本号更新失败，失败原因为：";

// The manifest.
inline constexpr std::string_view kUrlError = "URLERR：";
inline constexpr std::string_view kXmlErrorLine = "错误行为：";
inline constexpr std::string_view kUpToDate = "当前版本为最新版本，无需更新";
inline constexpr std::string_view kInvalidFileName = "更新文件名无效：";
inline constexpr std::string_view kInvalidVersion = "更新版本号无效：";

// A failed update; the installation is back to its old files.
inline constexpr std::string_view kDownloadFailed = "更新失败，下载文件失败：";
inline constexpr std::string_view kChecksumFailed = "更新失败，文件校验失败：";
inline constexpr std::string_view kReplaceFailed = "更新失败，替换文件失败：";
inline constexpr std::string_view kRestoreFailed = "更新失败，恢复原有文件失败：";

// An update that an earlier Fetchwell left unfinished.
inline constexpr std::string_view kInterruptedRestored = "上次更新未完成，已恢复原有文件";
inline constexpr std::string_view kInterruptedFinished = "上次更新未完成，已完成更新到";
inline constexpr std::string_view kInterruptedUnresolved = "上次更新未完成，恢复原有文件失败：";

} // namespace updater_text

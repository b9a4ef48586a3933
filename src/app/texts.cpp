#include "app/texts.h"

#include <map>

namespace {

struct Pair {
    const char* english;
    const char* chinese;  // nullptr: the English text in both interfaces
};

const std::map<Msg, Pair>& table() {
    static const std::map<Msg, Pair> texts{
        {Msg::LanguageTitle, {"语言", nullptr}},
        {Msg::SystemIsEnglish, {"当前系统为：英文", nullptr}},
        {Msg::SystemIsChinese, {"当前系统为：中文简体", nullptr}},

        {Msg::PortIsOpen, {"Port is open", nullptr}},
        {Msg::PortIsOpenOrNo, {"Port is open or no", nullptr}},
        {Msg::PortIsUseOrNo, {"Port is use or no", nullptr}},
        {Msg::PermissionHint,
         {"Your user may not use serial ports: add it to the group that owns them "
          "(dialout on Debian and Ubuntu: sudo adduser $USER dialout), then log in again.",
          "当前用户无权使用串口：请把用户加入串口设备所属的组（Debian 和 Ubuntu 上为 "
          "dialout：sudo adduser $USER dialout），然后重新登录。"}},
        {Msg::PortLost,
         {"The serial port went away (was the cable unplugged?): %1",
          "串口已断开（数据线是否拔出？）：%1"}},

        {Msg::ConnectOk, {"Connect OK", nullptr}},
        {Msg::ReadEnd, {"Read end", nullptr}},

        {Msg::ReadButtonPortOpen, {"Port is open", "端口已打开"}},
        {Msg::ReadButtonReading, {"reading", "读取中"}},
        {Msg::ReadButtonIdle, {"read data", "读取数据"}},
        {Msg::ReadButtonIdleEnglish, {"read data", nullptr}},
        {Msg::ConnectionAttempt,
         {"Please restart KORVA......Connection %1/20Times......", nullptr}},
        {Msg::TestFail, {"test fail", nullptr}},
        {Msg::ConnectionSuccessful, {"Connection is successful", "连接就绪"}},
        {Msg::ConnectionSuccessfulBox, {"Connection is successful\r\n", nullptr}},
        {Msg::ReadingAttempt, {"Connection OK\r\nReading %1/20Times......", nullptr}},
        {Msg::ReadOk, {"read ok", "读取成功"}},

        {Msg::WriteButtonWriting, {"Writing", "写入中"}},
        {Msg::WriteStatusWriting, {"Writing......", "写入中......"}},
        {Msg::WriteComplete, {"Write complete", "写入完成"}},
        {Msg::WriteFail, {"Write fail，Please try again.", "写入失败.请重试一遍"}},
        {Msg::WriteButtonIdle, {"Write data", "写入数据"}},
        {Msg::CallsignTooLong,
         {"The callsign has more than 6 characters; nothing was written.",
          "呼号超过 6 个字符，未写入任何数据。"}},
        {Msg::CallsignEmpty,
         {"The callsign is empty; nothing was written.", "呼号为空，未写入任何数据。"}},
        {Msg::LineBreakInField,
         {"The field \"%1\" holds a line break; nothing was written.",
          "“%1”中含有换行符，未写入任何数据。"}},
        {Msg::PasscodeMismatch, {"The passcode of %1 is %2", "%1 的密码是 %2"}},
        {Msg::SsidOutOfRange,
         {"SSID \"%1\" is not a number from 0 to 15", "SSID“%1”不是 0 到 15 之间的数"}},
        {Msg::FrequencyOutsideBands,
         {"%1: \"%2\" is not a frequency in MHz within %3", "%1：“%2”不是 %3 范围内的频率（MHz）"}},
        {Msg::PositionNotAprs,
         {"%1: not an APRS position such as !3035.00N/11417.00Er",
          "%1：不是 APRS 坐标，格式如 !3035.00N/11417.00Er"}},
        {Msg::OctetOutOfRange,
         {"%1: \"%2\" is not a number from 0 to 255", "%1：“%2”不是 0 到 255 之间的数"}},
        {Msg::SendIntervalZero, {"%1: an interval of 0", "%1：间隔为 0"}},
        {Msg::WriteWarningsQuestion,
         {"These fields look wrong for the device:\r\n%1\r\nWrite anyway?",
          "以下字段可能不适合设备：\r\n%1\r\n仍要写入吗？"}},
        {Msg::WriteRefusedStrict,
         {"Nothing was written (--strict).", "未写入任何数据（--strict）。"}},

        {Msg::WifiButtonWriting, {"Write", nullptr}},
        {Msg::WifiButtonIdle, {"Apply", nullptr}},
        {Msg::WifiWriting, {"WIFI Writing.....", nullptr}},
        {Msg::WifiWriteComplete, {"WIFI Write complete", nullptr}},
        {Msg::WifiReset, {"WIFI reset...", nullptr}},
        {Msg::WifiWriteFail, {"WIFI Write Fail", nullptr}},
        {Msg::RestartButtonIdle, {"restart", nullptr}},

        {Msg::SaveDialogTitle, {"Save", nullptr}},
        {Msg::SaveDialogFilter, {"setup file(*.ini)|*.ini", nullptr}},
        {Msg::LoadDialogTitle, {"Please choose fireware.", nullptr}},
        {Msg::LoadDialogFilter, {"ini文件(*.ini)|*.ini", nullptr}},
        {Msg::FileNotSaved, {"The file %1 was not saved: %2", "文件 %1 未保存：%2"}},
        {Msg::FileNotLoaded, {"The file %1 could not be read: %2", "无法读取文件 %1：%2"}},
        {Msg::SettingsFileTooLarge,
         {"it is larger than %1 bytes, far more than a settings file holds",
          "文件大于 %1 字节，远超设置文件的大小"}},

        {Msg::ImageDialogTitle, {"打开", nullptr}},
        {Msg::ImageDialogFilter, {"Bin文件(*.bin)|*.bin", nullptr}},
        {Msg::ImageFilePrefix, {"文件：", nullptr}},
        {Msg::ImageTooLarge,
         {"The image is larger than %1 bytes, the most the device's loader accepts. "
          "The image loaded before stays loaded.",
          "升级文件大于 %1 字节，超出设备引导程序的上限。之前载入的文件保持不变。"}},
        {Msg::ImageNotRead, {"The file %1 could not be read: %2", "无法读取文件 %1：%2"}},
        {Msg::ImageLooksWrong,
         {"This file looks like %1, not a raw firmware image (*.bin). Load it anyway?",
          "该文件看起来是 %1，而不是固件文件 (*.bin)。仍要载入吗？"}},
        {Msg::PleaseChooseFirmware, {"Please choose fireware", nullptr}},
        {Msg::ImageNoneLoaded, {"No firmware image is loaded.", "尚未载入固件文件。"}},
        {Msg::ImageEmpty, {"The image file is empty.", "固件文件是空的。"}},
        {Msg::ImageTooSmall,
         {"The image is too small: %1 bytes, at least %2.",
          "固件文件太小：%1 字节，至少需要 %2 字节。"}},
        {Msg::PleaseWaitAutoUpdate, {"Please wait auto update.", nullptr}},
        {Msg::UpdateButtonBusy, {"update...", nullptr}},
        {Msg::UpdateButtonIdle, {"update", nullptr}},
        {Msg::ResetEeramOk, {"reset eeram OK", nullptr}},
        {Msg::WaitForResetEeram, {"Wait for reset eeram ", nullptr}},
        {Msg::ResetEeramFail, {"Reset eeram fail,Please try again.", nullptr}},
        {Msg::WaitForUpdate, {"Wait for update", nullptr}},
        {Msg::LookingForLoader,
         {"Is the device waiting in its loader?", "设备是否停留在引导程序中？"}},
        {Msg::LoaderFound,
         {"The device is waiting in its loader: the update goes on from there.",
          "设备停留在引导程序中：从这里继续升级。"}},
        {Msg::ConnectFail, {"Connect fail, Please try again.", nullptr}},
        {Msg::Updating, {"updating，don't remove power", nullptr}},
        {Msg::UpdateComplete, {"update complete", nullptr}},
        {Msg::UpdateStep, {"update step:", nullptr}},
        {Msg::UpdateStalled,
         {"The update did not complete: the device's loader stopped answering. "
          "Run the update again.",
          "升级未完成：设备引导程序停止响应。请重新升级。"}},
        {Msg::CloseDuringUpdate,
         {"A firmware update is running. Closing now leaves the device in its loader "
          "until the update is run again. Close anyway?",
          "正在升级固件。现在关闭，设备将停留在引导程序中，直到重新升级。仍要关闭吗？"}},

        {Msg::ConfigDirOption,
         {"Keep the remembered port (RUVAdev.ini) in <dir> instead of the program's folder.",
          "把记住的串口（RUVAdev.ini）保存在 <dir> 中，而不是程序所在的文件夹。"}},
        {Msg::LanguageOption,
         {"Show the window in English (en) or Chinese (zh), whatever the system's language.",
          "无论系统语言如何，都以英文（en）或中文（zh）显示窗口。"}},
        {Msg::UnknownLanguage,
         {"Unknown language \"%1\": use en or zh.", "未知语言“%1”：请用 en 或 zh。"}},
        {Msg::ScreenshotNotSaved,
         {"The picture of the window could not be saved to %1.", "无法把窗口图片保存到 %1。"}},
        {Msg::NoSuchButton, {"The window has no button named %1.", "窗口中没有名为 %1 的按钮。"}},
        {Msg::ImageKindElf, {"a program file (ELF)", "程序文件 (ELF)"}},
        {Msg::ImageKindZip, {"a ZIP archive", "ZIP 压缩包"}},
        {Msg::ImageKindUf2, {"a UF2 file", "UF2 文件"}},
        {Msg::ImageKindIntelHex, {"an Intel HEX text file", "Intel HEX 文本文件"}},
        {Msg::UpdateBlockRefused,
         {"The update did not complete: the device's loader refused the image's last block. "
          "Run the update again.",
          "升级未完成：设备引导程序拒收了升级文件的最后一个数据块。请重新升级。"}},

        {Msg::TitleWithProgress, {"%1% - %2", nullptr}},

        {Msg::BackupReadFailed,
         {"The device's settings could not be read. The update resets the device to its factory "
          "settings, so without them your settings are lost. Update without keeping them?",
          "无法读取设备的设置。升级会把设备恢复为出厂设置，没有备份，您的设置将会丢失。"
          "不保留设置继续升级吗？"}},
        {Msg::BackupNotSaved,
         {"The device's settings could not be kept in %1: %2\nUpdate without keeping them?",
          "无法把设备的设置保存到 %1：%2\n不保留设置继续升级吗？"}},
        {Msg::BackupKept, {"Settings kept in %1", "设置已保存到 %1"}},
        {Msg::RestoreQuestion,
         {"The update reset the device to its factory settings. Once the device has restarted, "
          "write back the settings kept before the update (%1)?",
          "升级已把设备恢复为出厂设置。请等设备重启完成，是否写回升级前保存的设置（%1）？"}},
        {Msg::SettingsStillKept,
         {"Your settings are kept in %1; the next update that completes writes them back.",
          "您的设置保存在 %1；下一次完成的升级会把它们写回。"}},
        {Msg::InterruptedInLoader,
         {"The update was interrupted: the device is in its loader.",
          "升级被中断：设备停留在引导程序中。"}},
        {Msg::InterruptedOnFactorySettings,
         {"The update was interrupted: the device is on its factory settings.",
          "升级被中断：设备处于出厂设置。"}},
        {Msg::InterruptedAfterCompletion,
         {"The update completed, but its settings were not written back: the device is on its "
          "factory settings.",
          "升级已完成，但设置未写回：设备处于出厂设置。"}},
        {Msg::FinishWith, {"To finish: %1", "完成方法：%1"}},
        {Msg::RestoreNotLoaded,
         {"The settings kept in %1 could not be read back: %2", "无法读回保存在 %1 中的设置：%2"}},

        {Msg::TrafficButton, {"Traffic", "通信记录"}},
        {Msg::TrafficTitle, {"Serial traffic", "串口通信记录"}},
        {Msg::TrafficSave, {"Save…", "保存…"}},
        {Msg::TrafficClear, {"Clear", "清除"}},
        {Msg::TrafficDialogTitle, {"Save the serial traffic", "保存串口通信记录"}},
        {Msg::TrafficDialogFilter, {"Text file (*.txt)|*.txt", "文本文件 (*.txt)|*.txt"}},
        {Msg::TrafficNotSaved,
         {"The traffic could not be saved to %1: %2", "无法把通信记录保存到 %1：%2"}},
    };
    return texts;
}

}  // namespace

QString text(Msg id, Language language) {
    const Pair& pair = table().at(id);
    if (language == Language::Chinese && pair.chinese != nullptr) {
        return QString::fromUtf8(pair.chinese);
    }
    return QString::fromUtf8(pair.english);
}

const std::vector<std::pair<Ctl, QString>>& chineseCaptions() {
    static const std::vector<std::pair<Ctl, QString>> captions{
        {Ctl::Label3, QStringLiteral("KORVA系列配置软件")},
        {Ctl::Label4, QStringLiteral("呼号")},
        {Ctl::Label1, QStringLiteral("密码")},
        {Ctl::Label6, QStringLiteral("坐标和信息")},
        {Ctl::Label11, QStringLiteral("状态信息")},
        {Ctl::Label7, QStringLiteral("服务器")},
        {Ctl::Label8, QStringLiteral("发送间隔")},
        {Ctl::Label10, QStringLiteral("信息过滤")},
        {Ctl::Label5, QStringLiteral("网络地址")},
        {Ctl::Label18, QStringLiteral("背光时间")},
        {Ctl::Label19, QStringLiteral("距离")},
        {Ctl::Label16, QStringLiteral("频率")},
        {Ctl::Check1, QStringLiteral("中继功能")},
        {Ctl::Label25, QStringLiteral("发射路径")},
        {Ctl::Label24, QStringLiteral("调制度")},
        {Ctl::Label26, QStringLiteral("转发路径")},
        {Ctl::Frame5, QStringLiteral("设置")},
        {Ctl::Frame4, QStringLiteral("电台设置")},
        {Ctl::Frame6, QStringLiteral("WIFI设置")},
        {Ctl::Label23, QStringLiteral("名字")},
        {Ctl::Label20, QStringLiteral("密码")},
        {Ctl::Command8, QStringLiteral("应用")},
        {Ctl::Command0, QStringLiteral("默认数据")},
        {Ctl::Command6, QStringLiteral("读取数据")},
        {Ctl::Command7, QStringLiteral("写入数据")},
        {Ctl::Command4, QStringLiteral("载入数据")},
        {Ctl::Command5, QStringLiteral("保存数据")},
        {Ctl::Command1, QStringLiteral("打开升级文件")},
        {Ctl::Command2, QStringLiteral("开始升级")},
        {Ctl::Command9, QStringLiteral("重启")},
        {Ctl::Label22, QStringLiteral("如果修改了数据,重启后生效.")},
    };
    return captions;
}

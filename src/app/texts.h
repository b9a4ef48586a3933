#pragma once

#include "app/controls.h"
#include "app/language.h"

#include <QString>

#include <utility>
#include <vector>

// Every text the program shows, with its English and Chinese form. Texts
// that the device's users have always seen in one form in both interfaces
// (most of them English) keep it, and are marked as such in the table.
enum class Msg {
    // Start-up
    LanguageTitle,
    SystemIsEnglish,
    SystemIsChinese,
    SupportNotice,  // the line under the window before an update uses it
    SimulatedDeviceNote,
    // Port
    PortIsOpen,
    PortIsOpenOrNo,
    PortIsUseOrNo,
    PortNotFound,       // %1: the port
    PortNotSerial,      // %1: the port
    PortBusy,           // %1: the port
    PortBusyBy,         // %1: the port, %2: the programs that hold it
    PortBusyHere,       // %1: the port
    PortNoPermission,   // %1: the port
    PortFailed,         // %1: the port, %2: the system's words
    PortClosed,         // %1: the port
    PortLost,           // %1: the port
    ProgramAndProcess,  // %1: a program's name, %2: its process number
    PortAdviceWindow,
    PortAdviceCommandLine,
    PortBusyAdvice,
    DeviceSilent,  // %1: the port
    PortShared,    // %1: the port, %2: the programs that have it open
    // The port list following the cable
    PortNamed,      // %1: the port, %2: its description
    PortPluggedIn,  // %1: the port, named
    PortUnplugged,  // %1: the port, named
    PortUnpluggedNote,
    // kv120ctl finding the port
    AutoPortNone,
    AutoPortSeveral,
    Probing,         // %1: the port
    ProbeNotOpened,  // %1: the port
    // Reply parser
    ConnectOk,
    ReadEnd,
    // Read exchange
    ReadButtonReading,
    ReadButtonIdle,
    ReadButtonIdleEnglish,
    ConnectionAttempt,  // %1: attempt number
    ConnectionSuccessful,
    ConnectionSuccessfulBox,
    ReadingAttempt,              // %1: attempt number
    ReadingAttemptNotConnected,  // %1: attempt number
    ReadOk,
    ReadNoReadEnd,  // %1: the port
    ReadCancelled,
    // Write exchange
    WriteButtonWriting,
    WriteStatusWriting,
    WriteComplete,
    WriteFail,
    WriteButtonIdle,
    WriteCancelled,
    CallsignTooLong,
    CallsignEmpty,
    FrequencyEmpty,
    LineBreakInField,     // %1: the field's label
    UnsendableCharacter,  // %1: the field's label, %2: the character
    // Field warnings
    PasscodeMismatch,       // %1: callsign, %2: its passcode
    SsidOutOfRange,         // %1: the SSID's text
    FrequencyOutsideBands,  // %1: the field's label, %2: its text, %3: the bands
    PositionNotAprs,        // %1: the field's label
    FieldTooLong,           // %1: the field's label, %2: its length, %3: the box's limit
    OctetOutOfRange,        // %1: the row's label, %2: the octet's text
    SendIntervalZero,       // %1: the field's label
    HashInField,            // %1: the field's label
    SettingNotInFile,       // %1: the field's label, %2: the file's keyword
    FieldNotText,           // %1: the field's label
    WriteWarningsQuestion,  // %1: the warnings, one a line
    WriteRefusedStrict,
    // Verify after a write, and the comparison of a file with the device
    VerifyReading,
    VerifyMatch,
    VerifyDifference,  // %1: the setting, %2: written, %3: read back
    VerifyFailed,      // %1: how many settings differ
    VerifyCancelled,
    // kv120ctl: what a signal left undone
    VerifyUndone,
    CompareButton,
    VerifyAfterWriteBox,
    CompareSame,
    CompareDiffers,     // %1: how many settings differ, %2: them, one a line
    CompareDifference,  // %1: the setting, %2: in the window, %3: in the device
    DiffDifference,     // %1: the setting, %2: in the file, %3: in the device
    CompareCancelled,
    // WiFi write and restart
    WifiButtonWriting,
    WifiButtonIdle,
    WifiWriting,
    WifiWriteComplete,
    WifiReset,
    WifiWriteFail,
    WifiCancelled,
    WifiNameEmptyQuestion,
    RestartButtonIdle,
    RestartCancelled,
    // Settings files
    SaveDialogTitle,
    SaveDialogFilter,
    LoadDialogTitle,
    LoadDialogFilter,
    FileNotSaved,              // %1: file, %2: reason
    FileNotLoaded,             // %1: file, %2: reason
    NotASettingsFile,          // %1: file
    SavedNotExactly,           // %1: file, %2: the fields, one a line
    FieldNotHeldAsText,        // %1: the field's label
    FieldHeldInOtherEncoding,  // %1: the field's label, %2: its encoding now, %3: the file's
    LineUnreadable,            // %1: file, %2: line number, %3: the line, %4: what was expected
    ExpectedCallsign,
    ExpectedFourNumbers,  // %1: the keyword
    ExpectedOneOf,        // %1: the keyword, %2: the codes
    // %1: largest length
    SettingsFileNotText,
    SettingsFileTooLarge,
    // Firmware update
    ImageDialogTitle,
    ImageDialogFilter,
    ImageFilePrefix,
    ImageTooLarge,            // %1: largest length
    ImageTooLargeKeptBefore,  // %1: largest length; an image was loaded before
    ImageNotRead,             // %1: file, %2: reason
    ImageLooksWrong,          // %1: what the file looks like
    PleaseChooseFirmware,
    ImageNoneLoaded,
    ImageEmpty,
    ImageTooSmall,  // %1: the image's length, %2: the least length
    PleaseWaitAutoUpdate,
    UpdateButtonBusy,
    UpdateButtonIdle,
    ResetEeramOk,
    WaitForResetEeram,
    ResetEeramFail,
    WaitForUpdate,
    LookingForLoader,
    LoaderFound,
    ConnectFail,
    Updating,
    UpdateComplete,
    UpdateStep,
    UpdateStalled,
    CloseDuringUpdate,
    SendingImage,  // %1: blocks
    WaitingForNewFirmware,
    DeviceRunsAgain,
    ImageNotTaken,
    NoAnswerAfterImage,
    RunCheckPortFailed,
    UpdateNotComplete,
    // Command line of the window
    ConfigDirOption,
    VersionOption,
    LanguageOption,
    UnknownLanguage,     // %1: the language asked for
    ScreenshotNotSaved,  // %1: file
    NoSuchButton,        // %1: the object name asked for
    ImageKindElf,
    ImageKindZip,
    ImageKindUf2,
    ImageKindIntelHex,
    UpdateBlockRefused,
    UpdatePortLost,
    // Window title while a transfer runs
    TitleWithProgress,  // %1: percentage, %2: the window's title
    // Settings kept across a firmware update
    BackupReadFailed,
    UpdateWithoutKeeping,
    UpdateNotStartedNotKept,
    BackupNotSaved,   // %1: file, %2: reason
    OthersStillKept,  // %1: the kept settings, one a line
    ResetEarlier,     // %1: the kept file written back, %2: the file of what was read
    ChooseKept,
    NoneOfThem,
    KeptNotWrittenBack,  // %1: the kept settings, one a line
    BackupKept,          // %1: file
    RestoreQuestion,     // %1: file
    RestoreNotLoaded,    // %1: file, %2: reason
    SettingsStillKept,   // %1: file
    InterruptedInLoader,
    InterruptedOnFactorySettings,
    InterruptedAfterCompletion,
    InterruptedWritingBack,
    InterruptedImageSent,
    FinishWith,  // %1: the command
    // What kv120ctl leaves undone when a signal ends a command
    UndoneNotProbed,
    UndoneNotRead,
    UndoneWrite,
    UndoneNotCompared,
    UndoneWifi,
    UndoneRestart,
    UndoneUpdate,
    // Serial traffic view
    TrafficButton,
    TrafficTitle,
    TrafficSave,
    TrafficClear,
    TrafficDialogTitle,
    TrafficDialogFilter,
    TrafficNotSaved,  // %1: file, %2: reason
    // Names that a screen reader gives the window's boxes
    ShowPassword,
    PortSelectorName,
    ProgressBoxName,
    SsidBoxName,
    PositionBoxName,
    CommentBoxName,
    UpdateProgressName,

    TextCount  // not a text: how many there are
};

QString text(Msg id, Language language);
// True for a text marked as the device's users have always seen it: in one
// form, the same in both interfaces.
bool keepsOneForm(Msg id);

// The captions that the Chinese interface sets at start-up, in this order.
const std::vector<std::pair<Ctl, QString>>& chineseCaptions();

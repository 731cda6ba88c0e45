#include "sdstep.h"

#include "statuscode.h"

namespace {

// Each command exchange sends its command this many times.
constexpr int sdAttempts = 2;
// The box's lines are read with a 50-byte buffer: at most 49 bytes a line.
constexpr int sdLongestLine = 49;
// The line end after a paced command gets this long to leave.
constexpr int sdLineEndWaitMs = 100;
constexpr int sdPassWaitMs = 100;

} // namespace

// Marker texts are tested in this order, case-sensitively; the first one
// found decides.
const linkStep sdStep::initDownload = {
    .startCode = sdCode::InitDownload, .startLog = nullptr, .command = "500", .writeWaitMs = sdLineEndWaitMs, .attempts = sdAttempts, .windowMs = 200, .pauseMs = 10,
    .passWaitMs = sdPassWaitMs, .readMode = linkStep::SettledLine, .readMax = sdLongestLine,
    .markers = {{.text = "Get EEprom Header", .verdict = linkStep::Success}},
    .okCode = sdCode::DownloadReady, .okPrefix = "Download initialized: ", .timing = linkStep::NoTime,
    .failCode = sdCode::InitDownloadFailed, .failPrefix = "Error while initializing the Download: ", .timeoutPrefix = "Error while initializing the Download: ",
    .timeoutTail = false, .trace = false};

const linkStep sdStep::openLoadMenu = {
    .startCode = sdCode::OpeningLoadMenu, .startLog = "Checking SUC", .command = "100", .writeWaitMs = sdLineEndWaitMs, .attempts = sdAttempts, .windowMs = 500, .pauseMs = 0,
    .passWaitMs = sdPassWaitMs, .readMode = linkStep::SettledLine, .readMax = sdLongestLine,
    // Every version that begins with 1.7 will do; the version test is a
    // marker of its own, so that a version line not yet whole waits for its rest.
    .markers = {{.text = "Upload Ch_Data", .verdict = linkStep::Success},
                {.text = "SUC (StartUpControl)1.7", .verdict = linkStep::Note,
                 .prefix = "StartUpControll found, should be ok! "},
                {.text = "SUC", .verdict = linkStep::Failure, .prefix = "StartUpControll to old! ",
                 .code = sdCode::StartUpControlOld, .cause = linkCause::BoxTooOld}},
    .okCode = sdCode::LoadMenuOpen, .okPrefix = "LoadMenu open: ", .timing = linkStep::NoTime,
    .failCode = sdCode::LoadMenuFailed, .failPrefix = "Error while opening LoadMenu ", .timeoutPrefix = "Error while opening LoadMenu ",
    .timeoutTail = false, .trace = false};

const linkStep sdStep::initUpload = {
    .startCode = sdCode::InitUpload, .startLog = nullptr, .command = "100", .writeWaitMs = sdLineEndWaitMs, .attempts = sdAttempts, .windowMs = 500, .pauseMs = 0,
    .passWaitMs = sdPassWaitMs, .readMode = linkStep::SettledLine, .readMax = sdLongestLine,
    .markers = {{.text = "binary mode", .verdict = linkStep::Success}},
    .okCode = sdCode::UploadReady, .okPrefix = "Upload initialized: ", .timing = linkStep::NoTime,
    .failCode = sdCode::InitUploadFailed, .failPrefix = "Error initializing upload: ", .timeoutPrefix = "Error initializing upload: ",
    .timeoutTail = false, .trace = false};

const linkStep sdStep::startSettopbox = {
    .startCode = sdCode::WaitingStart, .startLog = nullptr, .command = "300", .writeWaitMs = sdLineEndWaitMs, .attempts = sdAttempts, .windowMs = 5000, .pauseMs = 10,
    .passWaitMs = sdPassWaitMs, .readMode = linkStep::SettledLine, .readMax = sdLongestLine,
    .markers = {{.text = "Upload Ch_Data", .verdict = linkStep::EndAttempt}, {.text = "Press any key !!", .verdict = linkStep::Success}},
    .okCode = sdCode::BoxRunning, .okPrefix = "Starting done: ", .timing = linkStep::NoTime,
    .failCode = sdCode::StartFailed, .failPrefix = "Starting: ", .timeoutPrefix = "Starting: ",
    .timeoutTail = false, .trace = false};

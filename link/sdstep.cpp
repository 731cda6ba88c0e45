#include "sdstep.h"

#include "statuscode.h"

// Marker texts are tested in this order, case-sensitively; the first one
// found decides.
const sdStep sdStep::initDownload = {
    .startCode = sdCode::InitDownload, .startLog = nullptr, .command = "500", .windowMs = 200, .pauseMs = 10,
    .markers = {{.text = "Get EEprom Header", .verdict = Success}},
    .okPrefix = "Download initialized: ", .okCode = sdCode::DownloadReady,
    .failPrefix = "Error while initializing the Download: ", .failCode = sdCode::InitDownloadFailed};

const sdStep sdStep::openLoadMenu = {
    .startCode = sdCode::OpeningLoadMenu, .startLog = "Checking SUC", .command = "100", .windowMs = 500, .pauseMs = 0,
    // Every version that begins with 1.7 will do; the version test is a
    // marker of its own, so that a version line not yet whole waits for its rest.
    .markers = {{.text = "Upload Ch_Data", .verdict = Success},
                {.text = "SUC (StartUpControl)1.7", .verdict = StartUpOk},
                {.text = "SUC", .verdict = StartUpOld}},
    .okPrefix = "LoadMenu open: ", .okCode = sdCode::LoadMenuOpen,
    .failPrefix = "Error while opening LoadMenu ", .failCode = sdCode::LoadMenuFailed};

const sdStep sdStep::initUpload = {
    .startCode = sdCode::InitUpload, .startLog = nullptr, .command = "100", .windowMs = 500, .pauseMs = 0,
    .markers = {{.text = "binary mode", .verdict = Success}},
    .okPrefix = "Upload initialized: ", .okCode = sdCode::UploadReady,
    .failPrefix = "Error initializing upload: ", .failCode = sdCode::InitUploadFailed};

const sdStep sdStep::startSettopbox = {
    .startCode = sdCode::WaitingStart, .startLog = nullptr, .command = "300", .windowMs = 5000, .pauseMs = 10,
    .markers = {{.text = "Upload Ch_Data", .verdict = EndAttempt}, {.text = "Press any key !!", .verdict = Success}},
    .okPrefix = "Starting done: ", .okCode = sdCode::BoxRunning,
    .failPrefix = "Starting: ", .failCode = sdCode::StartFailed};

#include "hdstep.h"

#include "statuscode.h"

// Marker texts are tested in this order; the first one found decides.
const hdStep hdStep::restartPCB = {
    .startCode = hdCode::Restarting, .command = "r\r\n", .writeWaitMs = 10, .attempts = 1, .windowMs = 2000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = RawRead, .readMax = 15,
    .markers = {{.text = "unknown com", .verdict = Resend}, {.text = "", .verdict = Success}},
    .okCode = hdCode::Restarted, .okPrefix = "Restarting done: ",
    .failCode = hdCode::RestartFailed, .failPrefix = "Error while restarting: ", .timeoutPrefix = "Error while restarting: ",
    .logAttempt = false, .timeoutTail = true, .trace = true};

const hdStep hdStep::openLoadMenu = {
    .startCode = hdCode::OpeningLoadMenu, .command = "l\r\n", .writeWaitMs = 100, .attempts = 10, .windowMs = 500, .pauseMs = 0,
    .passWaitMs = 100, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "load App", .verdict = Success}},
    .okCode = hdCode::LoadMenuOpen, .okPrefix = "LoadMenu open ",
    .failCode = hdCode::LoadMenuFailed, .failPrefix = "Error while opening LoadMenu ", .timeoutPrefix = "Error while opening LoadMenu ",
    .logAttempt = true, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForBinaryMode = {
    .startCode = hdCode::WaitingBinaryMode, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 1000, .pauseMs = 0,
    .passWaitMs = 10, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "binary mode", .verdict = Success}},
    .okCode = hdCode::BinaryMode, .okPrefix = "Ready to send file ",
    .failCode = hdStep::noCode, .failPrefix = "Ready to send file ", .timeoutPrefix = "Ready to send file ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForFlashing = {
    .startCode = hdCode::WaitingFlash, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 16000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = WholeLine, .readMax = 49,
    .markers = {{.text = "wrong", .verdict = Failure}, {.text = "flash it", .verdict = Success}},
    .okCode = hdCode::Flashed, .okPrefix = "Flashing done: ",
    .failCode = hdCode::FlashFailed, .failPrefix = "Error flashing file: ", .timeoutPrefix = "Error while flashing the file: ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForFinish = {
    .startCode = hdCode::WaitingFinish, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 50000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "fin", .verdict = Success}},
    .okCode = hdCode::Finished, .okPrefix = "Finished: ",
    .failCode = hdCode::FinishFailed, .failPrefix = "Error finishing: ", .timeoutPrefix = "Error finishing: ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::startSettopbox = {
    .startCode = hdCode::WaitingStart, .command = "s\r\n", .writeWaitMs = 100, .attempts = 5, .windowMs = 50000, .pauseMs = 10,
    .passWaitMs = 100, .readMode = WholeLine, .readMax = 48,
    .markers = {{.text = "Com ->", .verdict = EndAttempt}, {.text = "Deflat OK", .verdict = Success, .anyCase = true}},
    .okCode = hdCode::BoxRunning, .okPrefix = "Starting: ",
    .failCode = hdStep::noCode, .failPrefix = "Starting: ", .timeoutPrefix = "Starting: ",
    .logAttempt = false, .timeoutTail = false, .trace = false};

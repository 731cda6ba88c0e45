#include "hdstep.h"

#include "statuscode.h"

// Marker texts are tested in this order; the first one found decides.
const linkStep hdStep::restartPCB = {
    .startCode = hdCode::Restarting, .startLog = nullptr, .command = "r\r\n", .writeWaitMs = 10, .attempts = 1, .windowMs = 2000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = linkStep::RawRead, .readMax = 15,
    .markers = {{.text = "unknown com", .verdict = linkStep::Resend}, {.text = "", .verdict = linkStep::Success}},
    .okCode = hdCode::Restarted, .okPrefix = "Restarting done: ", .timing = linkStep::Ms,
    .failCode = hdCode::RestartFailed, .failPrefix = "Error while restarting: ", .timeoutPrefix = "Error while restarting: ",
    .timeoutTail = true, .trace = true};

const linkStep hdStep::openLoadMenu = {
    .startCode = hdCode::OpeningLoadMenu, .startLog = nullptr, .command = "l\r\n", .writeWaitMs = 100, .attempts = 10, .windowMs = 500, .pauseMs = 0,
    .passWaitMs = 100, .readMode = linkStep::LineRead, .readMax = 49,
    .markers = {{.text = "load App", .verdict = linkStep::Success}},
    .okCode = hdCode::LoadMenuOpen, .okPrefix = "LoadMenu open ", .timing = linkStep::AttemptMs,
    .failCode = hdCode::LoadMenuFailed, .failPrefix = "Error while opening LoadMenu ", .timeoutPrefix = "Error while opening LoadMenu ",
    .timeoutTail = true, .trace = false};

const linkStep hdStep::waitForBinaryMode = {
    .startCode = hdCode::WaitingBinaryMode, .startLog = nullptr, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 1000, .pauseMs = 0,
    .passWaitMs = 10, .readMode = linkStep::LineRead, .readMax = 49,
    .markers = {{.text = "binary mode", .verdict = linkStep::Success}},
    .okCode = hdCode::BinaryMode, .okPrefix = "Ready to send file ", .timing = linkStep::Ms,
    .failCode = linkStep::noCode, .failPrefix = "Ready to send file ", .timeoutPrefix = "Ready to send file ",
    .timeoutTail = true, .trace = false};

const linkStep hdStep::waitForFlashing = {
    .startCode = hdCode::WaitingFlash, .startLog = nullptr, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 16000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = linkStep::WholeLine, .readMax = 49,
    .markers = {{.text = "wrong", .verdict = linkStep::Failure}, {.text = "flash it", .verdict = linkStep::Success}},
    .okCode = hdCode::Flashed, .okPrefix = "Flashing done: ", .timing = linkStep::Ms,
    .failCode = hdCode::FlashFailed, .failPrefix = "Error flashing file: ", .timeoutPrefix = "Error while flashing the file: ",
    .timeoutTail = true, .trace = false};

const linkStep hdStep::waitForFinish = {
    .startCode = hdCode::WaitingFinish, .startLog = nullptr, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 50000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = linkStep::LineRead, .readMax = 49,
    .markers = {{.text = "fin", .verdict = linkStep::Success}},
    .okCode = hdCode::Finished, .okPrefix = "Finished: ", .timing = linkStep::Ms,
    .failCode = hdCode::FinishFailed, .failPrefix = "Error finishing: ", .timeoutPrefix = "Error finishing: ",
    .timeoutTail = true, .trace = false};

const linkStep hdStep::startSettopbox = {
    .startCode = hdCode::WaitingStart, .startLog = nullptr, .command = "s\r\n", .writeWaitMs = 100, .attempts = 5, .windowMs = 50000, .pauseMs = 10,
    .passWaitMs = 100, .readMode = linkStep::WholeLine, .readMax = 48,
    .markers = {{.text = "Com ->", .verdict = linkStep::EndAttempt}, {.text = "Deflat OK", .verdict = linkStep::Success, .anyCase = true}},
    .okCode = hdCode::BoxRunning, .okPrefix = "Starting: ", .timing = linkStep::Ms,
    .failCode = linkStep::noCode, .failPrefix = "Starting: ", .timeoutPrefix = "Starting: ",
    .timeoutTail = false, .trace = false};

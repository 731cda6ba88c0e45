#include "hdstep.h"

// Marker texts are tested in this order; the first one found decides.
const hdStep hdStep::restartPCB = {
    .startCode = 51, .command = "r\r\n", .writeWaitMs = 10, .attempts = 1, .windowMs = 2000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = RawRead, .readMax = 15,
    .markers = {{.text = "unknown com", .verdict = Resend}, {.text = "", .verdict = Success}},
    .okCode = 52, .okPrefix = "Restarting done: ",
    .failCode = 72, .failPrefix = "Error while restarting: ", .timeoutPrefix = "Error while restarting: ",
    .logAttempt = false, .timeoutTail = true, .trace = true};

const hdStep hdStep::openLoadMenu = {
    .startCode = 53, .command = "l\r\n", .writeWaitMs = 100, .attempts = 10, .windowMs = 500, .pauseMs = 0,
    .passWaitMs = 100, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "load App", .verdict = Success}},
    .okCode = 54, .okPrefix = "LoadMenu open ",
    .failCode = 73, .failPrefix = "Error while opening LoadMenu ", .timeoutPrefix = "Error while opening LoadMenu ",
    .logAttempt = true, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForBinaryMode = {
    .startCode = 55, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 1000, .pauseMs = 0,
    .passWaitMs = 10, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "binary mode", .verdict = Success}},
    .okCode = 56, .okPrefix = "Ready to send file ",
    .failCode = 0, .failPrefix = "Ready to send file ", .timeoutPrefix = "Ready to send file ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForFlashing = {
    .startCode = 59, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 16000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = WholeLine, .readMax = 49,
    .markers = {{.text = "wrong", .verdict = Failure}, {.text = "flash it", .verdict = Success}},
    .okCode = 60, .okPrefix = "Flashing done: ",
    .failCode = 75, .failPrefix = "Error flashing file: ", .timeoutPrefix = "Error while flashing the file: ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::waitForFinish = {
    .startCode = 61, .command = nullptr, .writeWaitMs = 0, .attempts = 1, .windowMs = 50000, .pauseMs = 0,
    .passWaitMs = 100, .readMode = LineRead, .readMax = 49,
    .markers = {{.text = "fin", .verdict = Success}},
    .okCode = 62, .okPrefix = "Finished: ",
    .failCode = 76, .failPrefix = "Error finishing: ", .timeoutPrefix = "Error finishing: ",
    .logAttempt = false, .timeoutTail = true, .trace = false};

const hdStep hdStep::startSettopbox = {
    .startCode = 63, .command = "s\r\n", .writeWaitMs = 100, .attempts = 5, .windowMs = 50000, .pauseMs = 10,
    .passWaitMs = 100, .readMode = WholeLine, .readMax = 48,
    .markers = {{.text = "Com ->", .verdict = EndAttempt}, {.text = "Deflat OK", .verdict = Success, .anyCase = true}},
    .okCode = 64, .okPrefix = "Starting: ",
    .failCode = 0, .failPrefix = "Starting: ", .timeoutPrefix = "Starting: ",
    .logAttempt = false, .timeoutTail = false, .trace = false};

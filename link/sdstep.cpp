#include "sdstep.h"

// Marker texts are tested in this order, case-sensitively; the first one
// found decides.
const sdStep sdStep::initDownload = {
    .startCode = 19, .startLog = nullptr, .command = "500", .windowMs = 200, .pauseMs = 10,
    .markers = {{.text = "Get EEprom Header", .verdict = Success}},
    .okPrefix = "Download initialized: ", .okCode = 20,
    .failPrefix = "Error while initializing the Download: ", .failCode = 30};

const sdStep sdStep::openLoadMenu = {
    .startCode = 7, .startLog = "Checking SUC", .command = "100", .windowMs = 500, .pauseMs = 0,
    .markers = {{.text = "Upload Ch_Data", .verdict = Success}, {.text = "SUC", .verdict = StartUpTest}},
    .okPrefix = "LoadMenu open: ", .okCode = 8,
    .failPrefix = "Error while opening LoadMenu ", .failCode = 31};

const sdStep sdStep::initUpload = {
    .startCode = 17, .startLog = nullptr, .command = "100", .windowMs = 500, .pauseMs = 0,
    .markers = {{.text = "binary mode", .verdict = Success}},
    .okPrefix = "Upload initialized: ", .okCode = 18,
    .failPrefix = "Error initializing upload: ", .failCode = 23};

const sdStep sdStep::startSettopbox = {
    .startCode = 12, .startLog = nullptr, .command = "300", .windowMs = 5000, .pauseMs = 10,
    .markers = {{.text = "Upload Ch_Data", .verdict = EndAttempt}, {.text = "Press any key !!", .verdict = Success}},
    .okPrefix = "Starting done: ", .okCode = 13,
    .failPrefix = "Starting: ", .failCode = 29};

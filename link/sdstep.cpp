#include "sdstep.h"

const sdStep sdStep::initDownload = {
    19, nullptr, "500", 200, 10,
    {{"Get EEprom Header", Success}, {nullptr, None}},
    "Download initialized: ", 20,
    "Error while initializing the Download: ", 30};

const sdStep sdStep::openLoadMenu = {
    7, "Checking SUC", "100", 500, 0,
    {{"Upload Ch_Data", Success}, {"SUC", StartUpTest}},
    "LoadMenu open: ", 8,
    "Error while opening LoadMenu ", 31};

const sdStep sdStep::initUpload = {
    17, nullptr, "100", 500, 0,
    {{"binary mode", Success}, {nullptr, None}},
    "Upload initialized: ", 18,
    "Error initializing upload: ", 23};

const sdStep sdStep::startSettopbox = {
    12, nullptr, "300", 5000, 10,
    {{"Upload Ch_Data", EndAttempt}, {"Press any key !!", Success}},
    "Starting done: ", 13,
    "Starting: ", 29};

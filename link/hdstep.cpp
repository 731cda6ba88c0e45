#include "hdstep.h"

// Marker texts are tested in this order; the first one found decides.
const hdStep hdStep::restartPCB = {
    51, "r\r\n", 10, 1, 2000, 0, 100, RawRead, 15,
    {{"unknown com", Resend, false}, {"", Success, false}},
    52, "Restarting done: ", 72, "Error while restarting: ", "Error while restarting: ",
    false, true, true};

const hdStep hdStep::openLoadMenu = {
    53, "l\r\n", 100, 10, 500, 0, 100, LineRead, 49,
    {{"load App", Success, false}, {nullptr, None, false}},
    54, "LoadMenu open ", 73, "Error while opening LoadMenu ", "Error while opening LoadMenu ",
    true, true, false};

const hdStep hdStep::waitForBinaryMode = {
    55, nullptr, 0, 1, 1000, 0, 10, LineRead, 49,
    {{"binary mode", Success, false}, {nullptr, None, false}},
    56, "Ready to send file ", 0, "Ready to send file ", "Ready to send file ",
    false, true, false};

const hdStep hdStep::waitForFlashing = {
    59, nullptr, 0, 1, 16000, 0, 100, WholeLine, 49,
    {{"wrong", Failure, false}, {"flash it", Success, false}},
    60, "Flashing done: ", 75, "Error flashing file: ", "Error while flashing the file: ",
    false, true, false};

const hdStep hdStep::waitForFinish = {
    61, nullptr, 0, 1, 50000, 0, 100, LineRead, 49,
    {{"fin", Success, false}, {nullptr, None, false}},
    62, "Finished: ", 76, "Error finishing: ", "Error finishing: ",
    false, true, false};

const hdStep hdStep::startSettopbox = {
    63, "s\r\n", 100, 5, 50000, 10, 100, WholeLine, 48,
    {{"Com ->", EndAttempt, false}, {"Deflat OK", Success, true}},
    64, "Starting: ", 0, "Starting: ", "Starting: ",
    false, false, false};

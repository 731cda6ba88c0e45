#include "statustable.h"

#include <QtGlobal>
#include <iterator>


namespace {

using E = statusTable::Entry;
using K = statusTable::Kind;

const E rows[] = {
    {0, 40, K::JobStarted, nullptr, 0, nullptr, nullptr},
    {1, 41, K::JobEnded, QT_TRANSLATE_NOOP("MainWindow", "done"), 2000, nullptr, nullptr},

    {2, 42, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Downloading Channel list"), 0, nullptr, nullptr},
    {3, 43, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Searching Start of List"), 0, nullptr, nullptr},
    {4, 44, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "End of the List found"), 0, nullptr, nullptr},
    {6, 50, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Uploading Channel list"), 0, nullptr, nullptr},
    {7, 53, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Opening LoadMenu"), 0, nullptr, nullptr},
    {8, 54, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Opening LoadMenu done"), 0, nullptr, nullptr},
    {9, 57, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Sending file"), 0, nullptr, nullptr},
    {10, 58, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "File sent"), 0, nullptr, nullptr},
    {11, 61, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Waiting till Settopbox finishes"), 0, nullptr, nullptr},
    {12, 63, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Waiting till Settopbox started"), 0, nullptr, nullptr},
    {13, 64, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "SettopBox running"), 0, nullptr, nullptr},
    {15, 66, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Updating the Firmware"), 0, nullptr, nullptr},
    {17, -1, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Initializing upload"), 0, nullptr, nullptr},
    {18, -1, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Initializing of upload done"), 0, nullptr, nullptr},
    {19, -1, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Initializing the Download"), 0, nullptr, nullptr},
    {20, -1, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Ready to receive Data"), 0, nullptr, nullptr},
    {-1, 51, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Restarting PCB"), 0, nullptr, nullptr},
    {-1, 52, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Restarting PCB done"), 0, nullptr, nullptr},
    {-1, 55, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Waiting to send the file"), 0, nullptr, nullptr},
    {-1, 56, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Waiting to send the file done"), 0, nullptr, nullptr},
    {-1, 59, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Waiting till File flashed"), 0, nullptr, nullptr},
    {-1, 60, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "File flashed"), 0, nullptr, nullptr},
    {-1, 62, K::Progress, QT_TRANSLATE_NOOP("MainWindow", "Settopbox finish"), 0, nullptr, nullptr},

    {5, 45, K::Result, QT_TRANSLATE_NOOP("MainWindow", "Listdownload complete"), 0, QT_TRANSLATE_NOOP("MainWindow", "Channel list"), QT_TRANSLATE_NOOP("MainWindow", "Channel list downloaded")},
    {14, 65, K::Result, QT_TRANSLATE_NOOP("MainWindow", "Listupload done"), 0, QT_TRANSLATE_NOOP("MainWindow", "Channel list"), QT_TRANSLATE_NOOP("MainWindow", "Channel list uploaded")},
    {16, 67, K::Result, QT_TRANSLATE_NOOP("MainWindow", "Update done"), 0, QT_TRANSLATE_NOOP("MainWindow", "Firmware"), QT_TRANSLATE_NOOP("MainWindow", "Firmware updated")},

    {21, 68, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Couldn't open COM-Port"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Opening COM-Port"), QT_TRANSLATE_NOOP("MainWindow", "Couldn't open COM-Port")},
    {22, 71, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Couldn't open the File"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Opening File"), QT_TRANSLATE_NOOP("MainWindow", "Couldn't open the File")},
    {23, -1, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while initializing the Upload"), 0, QT_TRANSLATE_NOOP("MainWindow", "Initializing Upload"), QT_TRANSLATE_NOOP("MainWindow", "Error while initializing the Upload")},
    {24, 69, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Couldn't receive Data"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Receiving Data"), QT_TRANSLATE_NOOP("MainWindow", "Couldn't receive Data")},
    {25, 70, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Timeout while downloading the List"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Downloading List"), QT_TRANSLATE_NOOP("MainWindow", "Timeout while downloading the List")},
    {26, 74, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while writing to the Port"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Writing to Port"), QT_TRANSLATE_NOOP("MainWindow", "Error while writing to the Port")},
    {27, 76, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while Settopbox finishes"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Finishing"), QT_TRANSLATE_NOOP("MainWindow", "Error while Settopbox finishes")},
    {28, -1, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Settopbox rejected the file"), 0, QT_TRANSLATE_NOOP("MainWindow", "Uploading File"), QT_TRANSLATE_NOOP("MainWindow", "The Settopbox rejected a file")},
    {29, -1, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while starting the Settopbox"), 0, QT_TRANSLATE_NOOP("MainWindow", "Starting Settopbox"), QT_TRANSLATE_NOOP("MainWindow", "Error while starting the Settopbox")},
    {30, -1, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while initializing the Download"), 0, QT_TRANSLATE_NOOP("MainWindow", "Initializing Download"), QT_TRANSLATE_NOOP("MainWindow", "Error while initializing the Download")},
    {31, 73, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while opening the LoadMenu"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Opening LoadMenu"), QT_TRANSLATE_NOOP("MainWindow", "Error while opening the LoadMenu")},
    {32, 77, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Wrong Filetype detected!"), 0, QT_TRANSLATE_NOOP("MainWindow", "Upload"), QT_TRANSLATE_NOOP("MainWindow", "Wrong filetype detected!\nCan't upload that file!")},
    {33, -1, K::Error, QT_TRANSLATE_NOOP("MainWindow", "The StartUpControl is to old"), 0, QT_TRANSLATE_NOOP("MainWindow", "Upload"), QT_TRANSLATE_NOOP("MainWindow", "The StartUpControl is to old!\nCan't update this Box!")},
    {-1, 72, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while restarting PCB"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Restarting PCB"), QT_TRANSLATE_NOOP("MainWindow", "Error while restarting PCB")},
    {-1, 75, K::Error, QT_TRANSLATE_NOOP("MainWindow", "Error while flashing the File"), 2000, QT_TRANSLATE_NOOP("MainWindow", "Flashing File"), QT_TRANSLATE_NOOP("MainWindow", "Error while flashing the file")},
};

} // namespace

const statusTable::Entry *statusTable::find(int code)
{
    if (code < 0)
        return nullptr;
    for (const E &row : rows)
        if (row.sdCode == code || row.hdCode == code)
            return &row;
    return nullptr;
}

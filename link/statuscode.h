#pragma once

// The status codes a link sends with sendCurrentAction(), by family. The
// values are what the window, batch mode and the status table react to;
// they never change. A code's name says the step it reports.

// The SD link (serialComKarn): 0 to 33, and 83 to 87 for the read-back
// that verifies an uploaded list.
struct sdCode {
    enum Code : int {
        JobStarted = 0,
        JobEnded = 1,
        Downloading = 2,
        SearchingStart = 3,
        EndFound = 4,
        DownloadDone = 5,
        Uploading = 6,
        OpeningLoadMenu = 7,
        LoadMenuOpen = 8,
        SendingFile = 9,
        FileSent = 10,
        WaitingFinish = 11,
        WaitingStart = 12,
        BoxRunning = 13,
        UploadDone = 14,
        Updating = 15,
        UpdateDone = 16,
        InitUpload = 17,
        UploadReady = 18,
        InitDownload = 19,
        DownloadReady = 20,
        PortFailed = 21,
        FileFailed = 22,
        InitUploadFailed = 23,
        ReceiveFailed = 24,
        DownloadTimeout = 25,
        WriteFailed = 26,
        FinishFailed = 27,
        FileRejected = 28,
        StartFailed = 29,
        InitDownloadFailed = 30,
        LoadMenuFailed = 31,
        WrongFileKind = 32,
        StartUpControlOld = 33,
        // Verifying an uploaded list; the same steps as hdCode's 78 to 82.
        VerifyWaiting = 83,
        Verifying = 84,
        Verified = 85,
        VerifyDiffers = 86,
        VerifyNoAnswer = 87,
        // A download read again and again: no two reads agreed.
        ReadsDiffer = 88,
    };
};

// The HD link (serialComVesk): 40 to 77, and 78 to 82 for the read-back
// that verifies an uploaded list.
struct hdCode {
    enum Code : int {
        JobStarted = 40,
        JobEnded = 41,
        Downloading = 42,
        SearchingStart = 43,
        EndFound = 44,
        DownloadDone = 45,
        // The service requests' own start codes; the window has no text for them.
        QuerySoftware = 46,
        QueryLowPower = 47,
        QueryMac = 48,
        FactoryReset = 49,
        Uploading = 50,
        Restarting = 51,
        Restarted = 52,
        OpeningLoadMenu = 53,
        LoadMenuOpen = 54,
        WaitingBinaryMode = 55,
        BinaryMode = 56,
        SendingFile = 57,
        FileSent = 58,
        WaitingFlash = 59,
        Flashed = 60,
        WaitingFinish = 61,
        Finished = 62,
        WaitingStart = 63,
        BoxRunning = 64,
        UploadDone = 65,
        Updating = 66,
        UpdateDone = 67,
        PortFailed = 68,
        ReceiveFailed = 69,
        DownloadTimeout = 70,
        FileFailed = 71,
        RestartFailed = 72,
        LoadMenuFailed = 73,
        WriteFailed = 74,
        FlashFailed = 75,
        FinishFailed = 76,
        WrongFileKind = 77,
        VerifyWaiting = 78,    // the upload is done; waiting for the console
        Verifying = 79,        // reading the list back
        Verified = 80,         // the box holds the file's bytes
        VerifyDiffers = 81,    // the box holds other bytes
        VerifyNoAnswer = 82,   // no console, or no list read back: not verified
        ReadsDiffer = 89,      // a download read again and again: no two reads agreed
    };
};

// Error texts of the serial-port layer, kept in the catalogues under their
// own context so that translators see them together. Only lupdate reads this
// file; it is not compiled, and the window shows none of these texts.
#include <QtGlobal>

static const char *const serialErrors[] = {
    QT_TRANSLATE_NOOP("QextSerialPort", "No error"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The port is not open"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The port is already open"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The device %1 does not exist"),
    QT_TRANSLATE_NOOP("QextSerialPort", "No permission to open the device %1"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The device is locked by another program"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The device is no serial line"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The line settings could not be applied"),
    QT_TRANSLATE_NOOP("QextSerialPort", "This baud rate is not supported"),
    QT_TRANSLATE_NOOP("QextSerialPort", "No memory left for the port buffers"),
    QT_TRANSLATE_NOOP("QextSerialPort", "Reading from the port failed"),
    QT_TRANSLATE_NOOP("QextSerialPort", "Writing to the port failed"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The operation timed out"),
    QT_TRANSLATE_NOOP("QextSerialPort", "A parity error was detected"),
    QT_TRANSLATE_NOOP("QextSerialPort", "A framing error was detected; check the baud rate"),
    QT_TRANSLATE_NOOP("QextSerialPort", "A break was detected on the line"),
    QT_TRANSLATE_NOOP("QextSerialPort", "Received data was lost: input buffer full"),
    QT_TRANSLATE_NOOP("QextSerialPort", "The device was removed"),
    QT_TRANSLATE_NOOP("QextSerialPort", "Unknown port error %1"),
};

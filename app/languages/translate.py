#!/usr/bin/env python3
"""Fills the German and English catalogues after lupdate has refreshed them.

Usage: translate.py  (run from app/, after
  lupdate -no-obsolete -locations none mainwindow.cpp mainwindow.ui statustable.cpp \
          languages/serialerrors.cpp languages/keynames.cpp -ts languages/Velmora_de.ts languages/Velmora_en.ts)
"""
import re
import xml.etree.ElementTree as ET

GERMAN = {
    "Velmora": "Velmora",
    "&quit": "&beenden",
    "&transmit": "&übertragen",
    "&Menu": "&Datei",
    "&Help": "&Hilfe",
    "toolBar": "Werkzeugleiste",
    "Ctrl+Q": "Strg+Q",
    "Get Softwareversion": "Softwareversion lesen",
    "Get Lowpowerversion": "Lowpower-Version lesen",
    "Get MAC-Address": "MAC-Adresse lesen",
    "Initialize Factory Reset": "Werkseinstellungen wiederherstellen",
    "&get Channellist": "Senderliste h&olen",
    "Ctrl+G": "Strg+G",
    "&About": "Ü&ber",
    "F1": "F1",
    "About &Qt": "Über &Qt",
    "Ctrl+F1": "Strg+F1",
    "send &Channellist": "Senderliste s&enden",
    "Ctrl+S": "Strg+S",
    "update &HD Firmware": "&HD Firmware aktualisieren",
    "Ctrl+2": "Strg+2",
    "&rerun": "&wiederholen",
    "F5": "F5",
    "update &SD Firmware": "&SD Firmware aktualisieren",
    "Ctrl+1": "Strg+1",
    "&edit Channellist": "Senderliste bea&rbeiten",
    "Error": "Fehler",
    "Received unknown message: %1": "Unbekannte Meldung erhalten: %1",
    "%1 (not found)": "%1 (nicht gefunden)",
    "Update file": "Update-Datei",
    "HD-Firmware file": "HD-Firmware-Datei",
    "All Files": "Alle Dateien",
    "SD-Firmware file": "SD-Firmware-Datei",
    "Channel list": "Senderliste",
    "Channel list HD": "Kanalliste HD",
    "Channel list SD": "Kanalliste SD",
    "No Channel list detected!": "Keine Senderliste erkannt!",
    "Please choose a name ending in .lis (HD) or .lst (SD).":
        "Bitte einen Namen mit der Endung .lis (HD) oder .lst (SD) wählen.",
    "Language changed to: %1": "Sprache geändert: %1",
    "done": "erledigt",
    "Downloading Channel list": "Lade Senderliste herunter",
    "Searching Start of List": "Suche Anfang der Liste",
    "End of the List found": "Ende der Liste gefunden",
    "Uploading Channel list": "Lade Senderliste hoch",
    "Opening LoadMenu": "Öffne Lademenü",
    "Opening LoadMenu done": "Lademenü geöffnet",
    "Sending file": "Sende Datei",
    "File sent": "Datei gesendet",
    "Waiting till Settopbox finishes": "Warte, bis der Receiver fertig ist",
    "Waiting till Settopbox started": "Warte, bis der Receiver gestartet ist",
    "SettopBox running": "Receiver läuft",
    "Updating the Firmware": "Aktualisiere die Firmware",
    "Initializing upload": "Bereite Hochladen vor",
    "Initializing of upload done": "Hochladen vorbereitet",
    "Initializing the Download": "Bereite Herunterladen vor",
    "Ready to receive Data": "Bereit zum Datenempfang",
    "Restarting PCB": "starte Receiver neu",
    "Restarting PCB done": "Receiver neu gestartet",
    "Waiting to send the file": "Warte auf Sendebereitschaft",
    "Waiting to send the file done": "Sendebereit",
    "Waiting till File flashed": "Warte, bis die Datei geflasht ist",
    "File flashed": "Datei geflasht",
    "Settopbox finish": "Receiver fertig",
    "Listdownload complete": "Herunterladen der Liste abgeschlossen",
    "Channel list downloaded": "Senderliste heruntergeladen",
    "Listupload done": "Hochladen der Liste abgeschlossen",
    "Channel list uploaded": "Senderliste hochgeladen",
    "Update done": "Aktualisierung abgeschlossen",
    "Firmware": "Firmware",
    "Firmware updated": "Firmware aktualisiert",
    "Couldn't open COM-Port": "COM-Port konnte nicht geöffnet werden",
    "Opening COM-Port": "COM-Port öffnen",
    "Couldn't open the File": "Die Datei konnte nicht geöffnet werden",
    "Opening File": "Datei öffnen",
    "Error while initializing the Upload": "Fehler beim Vorbereiten des Hochladens",
    "Initializing Upload": "Hochladen vorbereiten",
    "Couldn't receive Data": "Es konnten keine Daten empfangen werden",
    "Receiving Data": "Daten empfangen",
    "Timeout while downloading the List": "Zeitüberschreitung beim Herunterladen der Liste",
    "Downloading List": "Liste herunterladen",
    "Error while writing to the Port": "Fehler beim Schreiben auf den Port",
    "Writing to Port": "Schreiben auf den Port",
    "Error while Settopbox finishes": "Fehler, während der Receiver abschließt",
    "Finishing": "Abschließen",
    "Settopbox rejected the file": "Der Receiver hat die Datei abgelehnt",
    "Uploading File": "Datei hochladen",
    "The Settopbox rejected a file": "Der Receiver hat eine Datei abgelehnt",
    "Error while starting the Settopbox": "Fehler beim Starten des Receivers",
    "Starting Settopbox": "Receiver starten",
    "Error while initializing the Download": "Fehler beim Vorbereiten des Herunterladens",
    "Initializing Download": "Herunterladen vorbereiten",
    "Error while opening the LoadMenu": "Fehler beim Öffnen des Lademenüs",
    "Wrong Filetype detected!": "Falscher Dateityp erkannt!",
    "Upload": "Hochladen",
    "Wrong filetype detected!\nCan't upload that file!":
        "Falscher Dateityp erkannt!\nDiese Datei kann nicht hochgeladen werden!",
    "The StartUpControl is to old": "Die StartUpControl ist zu alt",
    "The StartUpControl is to old!\nCan't update this Box!":
        "Die StartUpControl ist zu alt!\nDieser Receiver kann nicht aktualisiert werden!",
    "Error while restarting PCB": "Fehler beim Neustart des Receivers",
    "Error while flashing the File": "Fehler beim Flashen der Datei",
    "Flashing File": "Datei flashen",
    "Error while flashing the file": "Fehler beim Flashen der Datei",
    "A transfer is running. Stopping it now can leave the Settopbox unusable.\nStop the transfer and quit?":
        "Eine Übertragung läuft. Ein Abbruch kann den Receiver unbrauchbar machen.\n"
        "Übertragung abbrechen und beenden?",
    # Qt's own name of the key, so that "Strg+Q" parses as Ctrl+Q.
    "Ctrl": "Strg",
    # Error texts of the serial-port layer (never shown by the window).
    "No error": "Kein Fehler",
    "The port is not open": "Der Port ist nicht geöffnet",
    "The port is already open": "Der Port ist bereits geöffnet",
    "The device %1 does not exist": "Das Gerät %1 existiert nicht",
    "No permission to open the device %1": "Keine Berechtigung, das Gerät %1 zu öffnen",
    "The device is locked by another program": "Das Gerät ist von einem anderen Programm gesperrt",
    "The device is no serial line": "Das Gerät ist keine serielle Schnittstelle",
    "The line settings could not be applied": "Die Schnittstelleneinstellungen konnten nicht übernommen werden",
    "This baud rate is not supported": "Diese Baudrate wird nicht unterstützt",
    "No memory left for the port buffers": "Kein Speicher mehr für die Portpuffer frei",
    "Reading from the port failed": "Lesen vom Port fehlgeschlagen",
    "Writing to the port failed": "Schreiben auf den Port fehlgeschlagen",
    "The operation timed out": "Zeitüberschreitung beim Vorgang",
    "A parity error was detected": "Ein Paritätsfehler wurde erkannt",
    "A framing error was detected; check the baud rate":
        "Ein Rahmenfehler wurde erkannt; bitte die Baudrate prüfen",
    "A break was detected on the line": "Auf der Leitung wurde ein Break-Signal erkannt",
    "Received data was lost: input buffer full": "Empfangene Daten gingen verloren: Eingangspuffer voll",
    "The device was removed": "Das Gerät wurde entfernt",
    "Unknown port error %1": "Unbekannter Portfehler %1",
}

ABOUT_DE = ("Mit diesem Programm können Sie Ihren Receiver aktualisieren\n"
            "und die Senderliste vom und zum PC kopieren.\n"
            "Sie brauchen nur ein Kabel von RS232 auf RJ11\n\n")

ENGLISH_DEVIATIONS = {"Waiting till File flashed": "Waiting til File flashed"}


def fill(path, translate):
    tree = ET.parse(path)
    missing = []
    for message in tree.iter("message"):
        source = message.find("source").text or ""
        target = translate(source)
        tr = message.find("translation")
        if target is None:
            missing.append(source)
            continue
        tr.text = target
        tr.attrib.pop("type", None)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    return missing


def german(source):
    if source in GERMAN:
        return GERMAN[source]
    if source.startswith("With this program"):
        return ABOUT_DE + source[source.index("This software"):].replace(
            "This software uses the Qt-Framework", "Diese Software nutzt das Qt-Framework").replace(
            "and QextSerialPort", "und QextSerialPort").replace(
            "Date: %2", "Datum: %2")
    return None


if __name__ == "__main__":
    missing = fill("languages/Velmora_de.ts", german)
    fill("languages/Velmora_en.ts", lambda s: ENGLISH_DEVIATIONS.get(s, s))
    for m in missing:
        print("no German text for:", repr(m))
    raise SystemExit(1 if missing else 0)

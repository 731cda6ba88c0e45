<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MainWindow</name>
    <message>
        <source>Velmora</source>
        <translation>Velmora</translation>
    </message>
    <message>
        <source>&amp;quit</source>
        <translation>&amp;beenden</translation>
    </message>
    <message>
        <source>&amp;transmit</source>
        <translation>&amp;übertragen</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Strg+Q</translation>
    </message>
    <message>
        <source>Get Softwareversion</source>
        <translation>Softwareversion lesen</translation>
    </message>
    <message>
        <source>Get Lowpowerversion</source>
        <translation>Lowpower-Version lesen</translation>
    </message>
    <message>
        <source>Get MAC-Address</source>
        <translation>MAC-Adresse lesen</translation>
    </message>
    <message>
        <source>Initialize Factory Reset</source>
        <translation>Werkseinstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;get Channellist</source>
        <translation>Senderliste h&amp;olen</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Strg+G</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>Über &amp;Qt</translation>
    </message>
    <message>
        <source>Ctrl+F1</source>
        <translation>Strg+F1</translation>
    </message>
    <message>
        <source>send &amp;Channellist</source>
        <translation>Senderliste s&amp;enden</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Strg+S</translation>
    </message>
    <message>
        <source>update &amp;HD Firmware</source>
        <translation>&amp;HD Firmware aktualisieren</translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation>Strg+2</translation>
    </message>
    <message>
        <source>&amp;rerun</source>
        <translation>&amp;wiederholen</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>update &amp;SD Firmware</source>
        <translation>&amp;SD Firmware aktualisieren</translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation>Strg+1</translation>
    </message>
    <message>
        <source>&amp;edit Channellist</source>
        <translation>Senderliste bea&amp;rbeiten</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation>%1 (nicht gefunden)</translation>
    </message>
    <message>
        <source>Received unknown message: %1</source>
        <translation>Unbekannte Meldung erhalten: %1</translation>
    </message>
    <message>
        <source>A transfer is running. Stopping it now can leave the Settopbox unusable.
Stop the transfer and quit?</source>
        <translation>Eine Übertragung läuft. Ein Abbruch kann den Receiver unbrauchbar machen.
Übertragung abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Update file</source>
        <translation>Update-Datei</translation>
    </message>
    <message>
        <source>HD-Firmware file</source>
        <translation>HD-Firmware-Datei</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>SD-Firmware file</source>
        <translation>SD-Firmware-Datei</translation>
    </message>
    <message>
        <source>Channel list</source>
        <translation>Senderliste</translation>
    </message>
    <message>
        <source>No Channel list detected!</source>
        <translation>Keine Senderliste erkannt!</translation>
    </message>
    <message>
        <source>Please choose a name ending in .lis (HD) or .lst (SD).</source>
        <translation>Bitte einen Namen mit der Endung .lis (HD) oder .lst (SD) wählen.</translation>
    </message>
    <message>
        <source>With this program you can update your Settopbox
and copy the Channel list from and to your PC.
all you need a cable from RS232 to RJ11

This software uses the Qt-Framework (https://www.qt.io)
and QextSerialPort (https://github.com/qextserialport/qextserialport)

Version: %1
Date: %2</source>
        <translation>Mit diesem Programm können Sie Ihren Receiver aktualisieren
und die Senderliste vom und zum PC kopieren.
Sie brauchen nur ein Kabel von RS232 auf RJ11

Diese Software nutzt das Qt-Framework (https://www.qt.io)
und QextSerialPort (https://github.com/qextserialport/qextserialport)

Version: %1
Datum: %2</translation>
    </message>
    <message>
        <source>Language changed to: %1</source>
        <translation>Sprache geändert: %1</translation>
    </message>
    <message>
        <source>done</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>Downloading Channel list</source>
        <translation>Lade Senderliste herunter</translation>
    </message>
    <message>
        <source>Searching Start of List</source>
        <translation>Suche Anfang der Liste</translation>
    </message>
    <message>
        <source>End of the List found</source>
        <translation>Ende der Liste gefunden</translation>
    </message>
    <message>
        <source>Uploading Channel list</source>
        <translation>Lade Senderliste hoch</translation>
    </message>
    <message>
        <source>Opening LoadMenu</source>
        <translation>Öffne Lademenü</translation>
    </message>
    <message>
        <source>Opening LoadMenu done</source>
        <translation>Lademenü geöffnet</translation>
    </message>
    <message>
        <source>Sending file</source>
        <translation>Sende Datei</translation>
    </message>
    <message>
        <source>File sent</source>
        <translation>Datei gesendet</translation>
    </message>
    <message>
        <source>Waiting till Settopbox finishes</source>
        <translation>Warte, bis der Receiver fertig ist</translation>
    </message>
    <message>
        <source>Waiting till Settopbox started</source>
        <translation>Warte, bis der Receiver gestartet ist</translation>
    </message>
    <message>
        <source>SettopBox running</source>
        <translation>Receiver läuft</translation>
    </message>
    <message>
        <source>Updating the Firmware</source>
        <translation>Aktualisiere die Firmware</translation>
    </message>
    <message>
        <source>Initializing upload</source>
        <translation>Bereite Hochladen vor</translation>
    </message>
    <message>
        <source>Initializing of upload done</source>
        <translation>Hochladen vorbereitet</translation>
    </message>
    <message>
        <source>Initializing the Download</source>
        <translation>Bereite Herunterladen vor</translation>
    </message>
    <message>
        <source>Ready to receive Data</source>
        <translation>Bereit zum Datenempfang</translation>
    </message>
    <message>
        <source>Restarting PCB</source>
        <translation>starte Receiver neu</translation>
    </message>
    <message>
        <source>Restarting PCB done</source>
        <translation>Receiver neu gestartet</translation>
    </message>
    <message>
        <source>Waiting to send the file</source>
        <translation>Warte auf Sendebereitschaft</translation>
    </message>
    <message>
        <source>Waiting to send the file done</source>
        <translation>Sendebereit</translation>
    </message>
    <message>
        <source>Waiting till File flashed</source>
        <translation>Warte, bis die Datei geflasht ist</translation>
    </message>
    <message>
        <source>File flashed</source>
        <translation>Datei geflasht</translation>
    </message>
    <message>
        <source>Settopbox finish</source>
        <translation>Receiver fertig</translation>
    </message>
    <message>
        <source>Listdownload complete</source>
        <translation>Herunterladen der Liste abgeschlossen</translation>
    </message>
    <message>
        <source>Channel list downloaded</source>
        <translation>Senderliste heruntergeladen</translation>
    </message>
    <message>
        <source>Listupload done</source>
        <translation>Hochladen der Liste abgeschlossen</translation>
    </message>
    <message>
        <source>Channel list uploaded</source>
        <translation>Senderliste hochgeladen</translation>
    </message>
    <message>
        <source>Update done</source>
        <translation>Aktualisierung abgeschlossen</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Firmware updated</source>
        <translation>Firmware aktualisiert</translation>
    </message>
    <message>
        <source>Couldn&apos;t open COM-Port</source>
        <translation>COM-Port konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Opening COM-Port</source>
        <translation>COM-Port öffnen</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the File</source>
        <translation>Die Datei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Opening File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Error while initializing the Upload</source>
        <translation>Fehler beim Vorbereiten des Hochladens</translation>
    </message>
    <message>
        <source>Initializing Upload</source>
        <translation>Hochladen vorbereiten</translation>
    </message>
    <message>
        <source>Couldn&apos;t receive Data</source>
        <translation>Es konnten keine Daten empfangen werden</translation>
    </message>
    <message>
        <source>Receiving Data</source>
        <translation>Daten empfangen</translation>
    </message>
    <message>
        <source>Timeout while downloading the List</source>
        <translation>Zeitüberschreitung beim Herunterladen der Liste</translation>
    </message>
    <message>
        <source>Downloading List</source>
        <translation>Liste herunterladen</translation>
    </message>
    <message>
        <source>Error while writing to the Port</source>
        <translation>Fehler beim Schreiben auf den Port</translation>
    </message>
    <message>
        <source>Writing to Port</source>
        <translation>Schreiben auf den Port</translation>
    </message>
    <message>
        <source>Error while Settopbox finishes</source>
        <translation>Fehler, während der Receiver abschließt</translation>
    </message>
    <message>
        <source>Finishing</source>
        <translation>Abschließen</translation>
    </message>
    <message>
        <source>Settopbox rejected the file</source>
        <translation>Der Receiver hat die Datei abgelehnt</translation>
    </message>
    <message>
        <source>Uploading File</source>
        <translation>Datei hochladen</translation>
    </message>
    <message>
        <source>The Settopbox rejected a file</source>
        <translation>Der Receiver hat eine Datei abgelehnt</translation>
    </message>
    <message>
        <source>Error while starting the Settopbox</source>
        <translation>Fehler beim Starten des Receivers</translation>
    </message>
    <message>
        <source>Starting Settopbox</source>
        <translation>Receiver starten</translation>
    </message>
    <message>
        <source>Error while initializing the Download</source>
        <translation>Fehler beim Vorbereiten des Herunterladens</translation>
    </message>
    <message>
        <source>Initializing Download</source>
        <translation>Herunterladen vorbereiten</translation>
    </message>
    <message>
        <source>Error while opening the LoadMenu</source>
        <translation>Fehler beim Öffnen des Lademenüs</translation>
    </message>
    <message>
        <source>Wrong Filetype detected!</source>
        <translation>Falscher Dateityp erkannt!</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Hochladen</translation>
    </message>
    <message>
        <source>Wrong filetype detected!
Can&apos;t upload that file!</source>
        <translation>Falscher Dateityp erkannt!
Diese Datei kann nicht hochgeladen werden!</translation>
    </message>
    <message>
        <source>The StartUpControl is to old</source>
        <translation>Die StartUpControl ist zu alt</translation>
    </message>
    <message>
        <source>The StartUpControl is to old!
Can&apos;t update this Box!</source>
        <translation>Die StartUpControl ist zu alt!
Dieser Receiver kann nicht aktualisiert werden!</translation>
    </message>
    <message>
        <source>Error while restarting PCB</source>
        <translation>Fehler beim Neustart des Receivers</translation>
    </message>
    <message>
        <source>Error while flashing the File</source>
        <translation>Fehler beim Flashen der Datei</translation>
    </message>
    <message>
        <source>Flashing File</source>
        <translation>Datei flashen</translation>
    </message>
    <message>
        <source>Error while flashing the file</source>
        <translation>Fehler beim Flashen der Datei</translation>
    </message>
    <message>
        <source>Box information…</source>
        <translation>Box-Informationen…</translation>
    </message>
    <message>
        <source>Box information</source>
        <translation>Box-Informationen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>asking…</source>
        <translation>wird abgefragt…</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <source>Low-power version</source>
        <translation>Lowpower-Version</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>&amp;Verify after upload</source>
        <translation>Nach dem Hochladen &amp;prüfen</translation>
    </message>
    <message>
        <source>Read an uploaded Channel list back from the Settopbox and compare it with the file</source>
        <translation>Eine hochgeladene Senderliste aus der Settopbox zurücklesen und mit der Datei vergleichen</translation>
    </message>
    <message>
        <source>Verify: waiting for the Settopbox to answer</source>
        <translation>Prüfen: warte auf Antwort der Settopbox</translation>
    </message>
    <message>
        <source>Verify: reading the Channel list back</source>
        <translation>Prüfen: Senderliste wird zurückgelesen</translation>
    </message>
    <message>
        <source>Channel list verified</source>
        <translation>Senderliste geprüft</translation>
    </message>
    <message>
        <source>Channel list verified:
the Settopbox holds it as in the file</source>
        <translation>Senderliste geprüft:
die Settopbox hat sie genau wie in der Datei</translation>
    </message>
    <message>
        <source>Channel list differs from the file</source>
        <translation>Senderliste weicht von der Datei ab</translation>
    </message>
    <message>
        <source>Verifying Channel list</source>
        <translation>Senderliste prüfen</translation>
    </message>
    <message>
        <source>The Channel list in the Settopbox differs from the file!
The log names the first difference.</source>
        <translation>Die Senderliste in der Settopbox weicht von der Datei ab!
Das Protokoll nennt die erste Abweichung.</translation>
    </message>
    <message>
        <source>Couldn&apos;t verify the Channel list</source>
        <translation>Senderliste konnte nicht geprüft werden</translation>
    </message>
    <message>
        <source>The Settopbox did not answer:
the Channel list could not be verified</source>
        <translation>Die Settopbox hat nicht geantwortet:
die Senderliste konnte nicht geprüft werden</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Channel list HD</source>
        <translation>Kanalliste HD</translation>
    </message>
    <message>
        <source>Channel list SD</source>
        <translation>Kanalliste SD</translation>
    </message>
</context>
<context>
    <name>QShortcut</name>
    <message>
        <source>Ctrl</source>
        <translation>Strg</translation>
    </message>
</context>
<context>
    <name>QextSerialPort</name>
    <message>
        <source>No error</source>
        <translation>Kein Fehler</translation>
    </message>
    <message>
        <source>The port is not open</source>
        <translation>Der Port ist nicht geöffnet</translation>
    </message>
    <message>
        <source>The port is already open</source>
        <translation>Der Port ist bereits geöffnet</translation>
    </message>
    <message>
        <source>The device %1 does not exist</source>
        <translation>Das Gerät %1 existiert nicht</translation>
    </message>
    <message>
        <source>No permission to open the device %1</source>
        <translation>Keine Berechtigung, das Gerät %1 zu öffnen</translation>
    </message>
    <message>
        <source>The device is locked by another program</source>
        <translation>Das Gerät ist von einem anderen Programm gesperrt</translation>
    </message>
    <message>
        <source>The device is no serial line</source>
        <translation>Das Gerät ist keine serielle Schnittstelle</translation>
    </message>
    <message>
        <source>The line settings could not be applied</source>
        <translation>Die Schnittstelleneinstellungen konnten nicht übernommen werden</translation>
    </message>
    <message>
        <source>This baud rate is not supported</source>
        <translation>Diese Baudrate wird nicht unterstützt</translation>
    </message>
    <message>
        <source>No memory left for the port buffers</source>
        <translation>Kein Speicher mehr für die Portpuffer frei</translation>
    </message>
    <message>
        <source>Reading from the port failed</source>
        <translation>Lesen vom Port fehlgeschlagen</translation>
    </message>
    <message>
        <source>Writing to the port failed</source>
        <translation>Schreiben auf den Port fehlgeschlagen</translation>
    </message>
    <message>
        <source>The operation timed out</source>
        <translation>Zeitüberschreitung beim Vorgang</translation>
    </message>
    <message>
        <source>A parity error was detected</source>
        <translation>Ein Paritätsfehler wurde erkannt</translation>
    </message>
    <message>
        <source>A framing error was detected; check the baud rate</source>
        <translation>Ein Rahmenfehler wurde erkannt; bitte die Baudrate prüfen</translation>
    </message>
    <message>
        <source>A break was detected on the line</source>
        <translation>Auf der Leitung wurde ein Break-Signal erkannt</translation>
    </message>
    <message>
        <source>Received data was lost: input buffer full</source>
        <translation>Empfangene Daten gingen verloren: Eingangspuffer voll</translation>
    </message>
    <message>
        <source>The device was removed</source>
        <translation>Das Gerät wurde entfernt</translation>
    </message>
    <message>
        <source>Unknown port error %1</source>
        <translation>Unbekannter Portfehler %1</translation>
    </message>
</context>
<context>
    <name>batchJob</name>
    <message>
        <source>%1 may be given only once</source>
        <translation>%1 darf nur einmal angegeben werden</translation>
    </message>
    <message>
        <source>no port given (-p PORT)</source>
        <translation>kein Port angegeben (-p PORT)</translation>
    </message>
    <message>
        <source>port named twice: %1</source>
        <translation>Port doppelt angegeben: %1</translation>
    </message>
    <message>
        <source>unknown option or job: %1</source>
        <translation>unbekannte Option oder Aufgabe: %1</translation>
    </message>
    <message>
        <source>--query and --factory-reset go one at a time</source>
        <translation>--query und --factory-reset nur einzeln angeben</translation>
    </message>
    <message>
        <source>a service request takes no job and no file</source>
        <translation>eine Serviceabfrage nimmt keine Aufgabe und keine Datei</translation>
    </message>
    <message>
        <source>--factory-reset would set the HD box on each port given back to its factory settings; its channel list and settings would be lost. Add --yes to send the reset.</source>
        <translation>--factory-reset setzt den HD-Receiver an jedem angegebenen Port auf die Werkseinstellungen zurück; seine Senderliste und Einstellungen gehen dabei verloren. Geben Sie --yes an, um den Reset zu senden.</translation>
    </message>
    <message>
        <source>unknown query: %1 (software, lowpower or mac)</source>
        <translation>unbekannte Abfrage: %1 (software, lowpower oder mac)</translation>
    </message>
    <message>
        <source>no job given (-t JOB, or a file recognised by its content)</source>
        <translation>keine Aufgabe angegeben (-t AUFGABE, oder eine Datei, die an ihrem Inhalt erkannt wird)</translation>
    </message>
    <message>
        <source>no file given (-f FILE)</source>
        <translation>keine Datei angegeben (-f DATEI)</translation>
    </message>
    <message>
        <source>a download writes one file: give it one port</source>
        <translation>ein Download schreibt eine Datei: geben Sie dafür nur einen Port an</translation>
    </message>
    <message>
        <source>interrupted; the jobs stop at their next wait</source>
        <translation>abgebrochen; die Aufgaben enden beim nächsten Warten</translation>
    </message>
    <message>
        <source>warning: the box did not confirm its start; check that it runs</source>
        <translation>Warnung: der Receiver hat seinen Start nicht bestätigt; prüfen Sie, ob er läuft</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>gesendet</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>Try &apos;velmora --help&apos;.</source>
        <translation>Siehe &apos;velmora --help&apos;.</translation>
    </message>
    <message>
        <source>port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>--verify goes only with SendListHD or SendListSD</source>
        <translation>--verify geht nur mit SendListHD oder SendListSD</translation>
    </message>
</context>
</TS>

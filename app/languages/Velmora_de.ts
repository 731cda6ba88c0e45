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
    <message>
        <source>Stop the running job at its next wait (Esc)</source>
        <translation>Die laufende Aufgabe beim nächsten Warten anhalten (Esc)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>HD firmware update</source>
        <translation>HD-Firmware-Update</translation>
    </message>
    <message>
        <source>HD channel list upload</source>
        <translation>HD-Senderliste senden</translation>
    </message>
    <message>
        <source>HD channel list download</source>
        <translation>HD-Senderliste holen</translation>
    </message>
    <message>
        <source>SD firmware update</source>
        <translation>SD-Firmware-Update</translation>
    </message>
    <message>
        <source>SD channel list upload</source>
        <translation>SD-Senderliste senden</translation>
    </message>
    <message>
        <source>SD channel list download</source>
        <translation>SD-Senderliste holen</translation>
    </message>
    <message>
        <source>The file is being sent.
Stopping now can leave the Settopbox half-updated:
it must then be updated again.
Stop the transfer?</source>
        <translation>Die Datei wird gerade gesendet.
Ein Abbruch jetzt kann den Receiver halb aktualisiert zurücklassen:
er muss dann erneut aktualisiert werden.
Übertragung abbrechen?</translation>
    </message>
    <message>
        <source>%1 (%2 s)</source>
        <translation>%1 (%2 s)</translation>
    </message>
    <message>
        <source>&amp;Verify channel lists</source>
        <translation>Senderlisten &amp;prüfen</translation>
    </message>
    <message>
        <source>Read an uploaded Channel list back from the Settopbox and compare it with the file; read a downloaded list again until two reads agree</source>
        <translation>Eine hochgeladene Senderliste aus der Settopbox zurücklesen und mit der Datei vergleichen; eine heruntergeladene Liste erneut lesen, bis zwei Lesungen übereinstimmen</translation>
    </message>
    <message>
        <source>The reads of the Channel list differ</source>
        <translation>Die Lesungen der Senderliste weichen voneinander ab</translation>
    </message>
    <message>
        <source>No two reads of the Channel list from the Settopbox agreed!
The file was left as it was; the log names the differences.</source>
        <translation>Keine zwei Lesungen der Senderliste aus der Settopbox stimmten überein!
Die Datei blieb, wie sie war; das Protokoll nennt die Abweichungen.</translation>
    </message>
    <message>
        <source>The Settopbox is writing the file it has received.
Stopping now can leave it half-updated:
it must then be updated again.
Stop the transfer?</source>
        <translation>Der Receiver schreibt die empfangene Datei.
Ein Abbruch jetzt kann ihn halb aktualisiert zurücklassen:
er muss dann erneut aktualisiert werden.
Übertragung abbrechen?</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>The box gave no answer. SD boxes have no service commands: box information is for HD boxes. For an HD box, check the cable, the box&apos;s power and the port.</source>
        <translation>Der Receiver hat nicht geantwortet. SD-Receiver haben keine Servicebefehle: die Receiver-Informationen gibt es nur für HD-Receiver. Bei einem HD-Receiver prüfen Sie Kabel, Stromversorgung und Port.</translation>
    </message>
    <message>
        <source>&amp;Bench of boxes…</source>
        <translation>&amp;Prüfplatz mit mehreren Receivern…</translation>
    </message>
    <message>
        <source>One row per box: several boxes side by side, each on its own port</source>
        <translation>Eine Zeile je Receiver: mehrere Receiver nebeneinander, jeder an seinem eigenen Port</translation>
    </message>
    <message>
        <source>Open records</source>
        <translation>Aufzeichnungen öffnen</translation>
    </message>
    <message>
        <source>Opens the record of every job (a CSV file beside the log)</source>
        <translation>Öffnet die Aufzeichnung jeder Aufgabe (eine CSV-Datei neben dem Protokoll)</translation>
    </message>
    <message>
        <source>The records file %1 cannot be written: %2. The job goes on without its record.</source>
        <translation>Die Aufzeichnungsdatei %1 kann nicht geschrieben werden: %2. Die Aufgabe läuft ohne ihre Aufzeichnung weiter.</translation>
    </message>
    <message>
        <source>The records file %1 cannot be written: %2</source>
        <translation>Die Aufzeichnungsdatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>No program opens %1: open it in a spreadsheet</source>
        <translation>Kein Programm öffnet %1: öffnen Sie die Datei in einer Tabellenkalkulation</translation>
    </message>
    <message>
        <source>Another Velmora writes %1: this window logs to %2</source>
        <translation>Ein anderes Velmora schreibt %1: dieses Fenster protokolliert in %2</translation>
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
        <source>interrupted; the jobs stop at their next wait</source>
        <translation>abgebrochen; die Aufgaben enden beim nächsten Warten</translation>
    </message>
    <message>
        <source>warning: the box did not confirm its start; check that it runs</source>
        <translation>Warnung: der Receiver hat seinen Start nicht bestätigt; prüfen Sie, ob er läuft</translation>
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
        <source>an empty port name was given (-p &quot;&quot;)</source>
        <translation>ein leerer Portname wurde angegeben (-p &quot;&quot;)</translation>
    </message>
    <message>
        <source>the jobs are %1</source>
        <translation>die Aufgaben sind %1</translation>
    </message>
    <message>
        <source>what to do: %1</source>
        <translation>was tun: %1</translation>
    </message>
    <message>
        <source>--identify: an SD box has no service commands; the job runs without them</source>
        <translation>--identify: ein SD-Receiver hat keine Servicebefehle; die Aufgabe läuft ohne sie</translation>
    </message>
    <message>
        <source>  cause: %1</source>
        <translation>  Ursache: %1</translation>
    </message>
    <message>
        <source>  what to do: %1</source>
        <translation>  was tun: %1</translation>
    </message>
    <message>
        <source>  box: %1</source>
        <translation>  Receiver: %1</translation>
    </message>
    <message>
        <source>nothing was run (exit code %1)</source>
        <translation>nichts wurde ausgeführt (Exit-Code %1)</translation>
    </message>
    <message>
        <source>done</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 %2 (exit code %3)</source>
        <translation>%1 %2 (Exit-Code %3)</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>the answer could not be written to standard output</source>
        <translation>die Antwort konnte nicht auf die Standardausgabe geschrieben werden</translation>
    </message>
    <message>
        <source>%L1 / %L2 bytes</source>
        <translation>%L1 / %L2 Bytes</translation>
    </message>
    <message>
        <source>%1:%2 left</source>
        <translation>noch %1:%2</translation>
    </message>
    <message>
        <source>the log %1 is incomplete</source>
        <translation>das Protokoll %1 ist unvollständig</translation>
    </message>
    <message>
        <source>the log %1 cannot be written: %2; the job goes on</source>
        <translation>das Protokoll %1 kann nicht geschrieben werden: %2; die Aufgabe läuft weiter</translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
    <message>
        <source>--verify goes only with a channel list job (SendList or GetList)</source>
        <translation>--verify geht nur mit einer Senderlisten-Aufgabe (SendList oder GetList)</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes; rename the file</source>
        <translation>der Name %1 ist in der Kodierung des Systems (UTF-8) ungültig: er würde unter anderen Bytes gelesen oder geschrieben; benennen Sie die Datei um</translation>
    </message>
    <message>
        <source>did you mean %1?</source>
        <translation>meinten Sie %1?</translation>
    </message>
    <message>
        <source>the records file %1 cannot be written: %2; the job goes on</source>
        <translation>die Aufzeichnungsdatei %1 kann nicht geschrieben werden: %2; die Aufgabe läuft weiter</translation>
    </message>
    <message>
        <source>a download from several ports writes a file for each: give a folder, or a name with {port}, {mac} or {date}, e.g. -f &apos;lists/{port}.lis&apos;</source>
        <translation>ein Download von mehreren Ports schreibt je Port eine Datei: geben Sie einen Ordner an oder einen Namen mit {port}, {mac} oder {date}, z. B. -f &apos;listen/{port}.lis&apos;</translation>
    </message>
    <message>
        <source>{mac} needs an HD box: an SD box has no service commands</source>
        <translation>{mac} braucht einen HD-Receiver: ein SD-Receiver hat keine Servicebefehle</translation>
    </message>
    <message>
        <source>the ports %1 and %2 would both write %3: put {port} in the name</source>
        <translation>die Ports %1 und %2 würden beide %3 schreiben: nehmen Sie {port} in den Namen auf</translation>
    </message>
    <message>
        <source>--retries takes a whole number from 0 to %1, not %2</source>
        <translation>--retries nimmt eine ganze Zahl von 0 bis %1, nicht %2</translation>
    </message>
    <message>
        <source>attempt %1 of %2 failed; trying again in %3 s</source>
        <translation>Versuch %1 von %2 fehlgeschlagen; neuer Versuch in %3 s</translation>
    </message>
    <message>
        <source>  the load had begun: the box is half-updated until an attempt loads it whole</source>
        <translation>  das Laden hatte begonnen: der Receiver ist halb aktualisiert, bis ein Versuch ihn ganz lädt</translation>
    </message>
    <message>
        <source> (attempt %1)</source>
        <translation> (Versuch %1)</translation>
    </message>
    <message>
        <source>(waiting at most %1 s)</source>
        <translation>(Wartezeit höchstens %1 s)</translation>
    </message>
    <message>
        <source>%1 (%2 s left)</source>
        <translation>%1 (noch %2 s)</translation>
    </message>
    <message>
        <source>--loop goes only with a job (-t JOB), not with a service request</source>
        <translation>--loop gilt nur für eine Aufgabe (-t AUFGABE), nicht für eine Serviceabfrage</translation>
    </message>
    <message>
        <source>--loop with a download writes a file for each box: put {mac} in the name, e.g. -f &apos;lists/{mac}.lis&apos;</source>
        <translation>--loop mit einem Download schreibt für jeden Receiver eine Datei: nehmen Sie {mac} in den Namen auf, z. B. -f &apos;lists/{mac}.lis&apos;</translation>
    </message>
    <message>
        <source>waiting for the next box: %1</source>
        <translation>warte auf den nächsten Receiver: %1</translation>
    </message>
    <message>
        <source>next box: %1 runs on box %2</source>
        <translation>nächster Receiver: %1 läuft auf Receiver %2</translation>
    </message>
    <message>
        <source>boxes: %1 done, %2 failed, %3 stopped</source>
        <translation>Receiver: %1 fertig, %2 fehlgeschlagen, %3 gestoppt</translation>
    </message>
</context>
<context>
    <name>benchRow</name>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Job</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Rest</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>Receiver</translation>
    </message>
    <message>
        <source>Next box</source>
        <translation>Nächster Receiver</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Stops this row&apos;s job, or its wait for the next box</source>
        <translation>Stoppt die Aufgabe dieser Zeile oder ihr Warten auf den nächsten Receiver</translation>
    </message>
    <message>
        <source>Opens this row&apos;s log</source>
        <translation>Öffnet das Protokoll dieser Zeile</translation>
    </message>
    <message>
        <source>When the job has ended, wait for the next box on this port and run the job again</source>
        <translation>Nach der Aufgabe auf den nächsten Receiver an diesem Port warten und die Aufgabe erneut ausführen</translation>
    </message>
    <message>
        <source>no port chosen</source>
        <translation>kein Port gewählt</translation>
    </message>
    <message>
        <source>no job chosen</source>
        <translation>keine Aufgabe gewählt</translation>
    </message>
    <message>
        <source>no file chosen</source>
        <translation>keine Datei gewählt</translation>
    </message>
    <message>
        <source>No log yet: this row has not run on %1</source>
        <translation>Noch kein Protokoll: diese Zeile lief noch nicht an %1</translation>
    </message>
    <message>
        <source>The log %1 cannot be written: %2</source>
        <translation>Das Protokoll %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>not started: %1</source>
        <translation>nicht gestartet: %1</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>Waiting for the next box: %1</source>
        <translation>Warte auf den nächsten Receiver: %1</translation>
    </message>
    <message>
        <source>No longer waiting for the next box</source>
        <translation>Kein Warten mehr auf den nächsten Receiver</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Retries</source>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>Attempt %1 of %2 failed; trying again in %3 s</source>
        <translation>Versuch %1 von %2 fehlgeschlagen; neuer Versuch in %3 s</translation>
    </message>
    <message>
        <source>(the load had begun: the box is half-updated until an attempt loads it whole)</source>
        <translation>(das Laden hatte begonnen: der Receiver ist halb aktualisiert, bis ein Versuch ihn ganz lädt)</translation>
    </message>
    <message>
        <source>How often a failed job is tried again, where another attempt can help: the port could not be opened or reached, the box was silent before the attempt sent anything, the line went or the box stalled, a download&apos;s reads failed. Never after a refusal, a wrong file or a stop.</source>
        <translation>Wie oft eine fehlgeschlagene Aufgabe erneut versucht wird, wo ein weiterer Versuch helfen kann: der Port ließ sich nicht öffnen oder nicht erreichen, der Receiver schwieg, bevor der Versuch etwas gesendet hatte, die Leitung brach ab oder der Receiver blieb stehen, die Lesevorgänge eines Downloads schlugen fehl. Nie nach einer Ablehnung, einer falschen Datei oder einem Stopp.</translation>
    </message>
</context>
<context>
    <name>benchWindow</name>
    <message>
        <source>Velmora bench</source>
        <translation>Velmora-Prüfplatz</translation>
    </message>
    <message>
        <source>Start all</source>
        <translation>Alle starten</translation>
    </message>
    <message>
        <source>Stop all</source>
        <translation>Alle stoppen</translation>
    </message>
    <message>
        <source>Add row</source>
        <translation>Zeile hinzufügen</translation>
    </message>
    <message>
        <source>Remove row</source>
        <translation>Zeile entfernen</translation>
    </message>
    <message>
        <source>Gives every idle row the job and files of the selected row</source>
        <translation>Gibt jeder ruhenden Zeile Aufgabe und Dateien der gewählten Zeile</translation>
    </message>
    <message>
        <source>Copy job to all rows</source>
        <translation>Aufgabe auf alle Zeilen kopieren</translation>
    </message>
    <message>
        <source>Every row waits for the next box on its port once its job has ended</source>
        <translation>Jede Zeile wartet nach ihrer Aufgabe auf den nächsten Receiver an ihrem Port</translation>
    </message>
    <message>
        <source>Next box on all rows</source>
        <translation>Nächster Receiver in allen Zeilen</translation>
    </message>
    <message>
        <source>port named twice: %1</source>
        <translation>Port doppelt genannt: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) are sending a file or the box is writing it.
Stopping now can leave those boxes half-updated:
they must then be updated again.
Stop all rows?</source>
        <translation>
            <numerusform>%n Zeile sendet eine Datei oder der Receiver schreibt sie.
Jetzt zu stoppen, kann diesen Receiver halb aktualisiert zurücklassen:
er muss dann erneut aktualisiert werden.
Alle Zeilen stoppen?</numerusform>
            <numerusform>%n Zeilen senden eine Datei oder die Receiver schreiben sie.
Jetzt zu stoppen, kann diese Receiver halb aktualisiert zurücklassen:
sie müssen dann erneut aktualisiert werden.
Alle Zeilen stoppen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Since the bench was opened: %1 done, %2 failed, %3 stopped</source>
        <translation>Seit dem Öffnen des Prüfplatzes: %1 fertig, %2 fehlgeschlagen, %3 gestoppt</translation>
    </message>
    <message>
        <source>Jobs are running on the bench. Stopping them now can leave boxes unusable.
Stop them and close the bench?</source>
        <translation>Auf dem Prüfplatz laufen Aufgaben. Sie jetzt zu stoppen, kann Receiver unbrauchbar machen.
Aufgaben stoppen und den Prüfplatz schließen?</translation>
    </message>
</context>
<context>
    <name>boxWatch</name>
    <message>
        <source>silent</source>
        <translation>stumm</translation>
    </message>
    <message>
        <source>HD console</source>
        <translation>HD-Konsole</translation>
    </message>
    <message>
        <source>SD box starting</source>
        <translation>SD-Receiver startet</translation>
    </message>
</context>
<context>
    <name>jobResult</name>
    <message>
        <source>the port {file} could not be opened: {detail}</source>
        <translation>der Port {file} konnte nicht geöffnet werden: {detail}</translation>
    </message>
    <message>
        <source>plug the adapter in and check the port&apos;s name (velmora --list-ports)</source>
        <translation>stecken Sie den Adapter ein und prüfen Sie den Namen des Ports (velmora --list-ports)</translation>
    </message>
    <message>
        <source>close the other program that uses the port, then start again</source>
        <translation>schließen Sie das andere Programm, das den Port benutzt, und starten Sie erneut</translation>
    </message>
    <message>
        <source>join the group {extra} and log in again</source>
        <translation>treten Sie der Gruppe {extra} bei und melden Sie sich neu an</translation>
    </message>
    <message>
        <source>check the port&apos;s name and its adapter (velmora --list-ports)</source>
        <translation>prüfen Sie den Namen des Ports und seinen Adapter (velmora --list-ports)</translation>
    </message>
    <message>
        <source>the file {file} does not exist</source>
        <translation>die Datei {file} gibt es nicht</translation>
    </message>
    <message>
        <source>check the file&apos;s name and folder</source>
        <translation>prüfen Sie Namen und Ordner der Datei</translation>
    </message>
    <message>
        <source>the file {file} cannot be read: {detail}</source>
        <translation>die Datei {file} kann nicht gelesen werden: {detail}</translation>
    </message>
    <message>
        <source>check that you may read the file and that it is whole</source>
        <translation>prüfen Sie, ob Sie die Datei lesen dürfen und ob sie vollständig ist</translation>
    </message>
    <message>
        <source>{file} is {detail}; this job needs {needed}</source>
        <translation>{file} ist {detail}; diese Aufgabe braucht {needed}</translation>
    </message>
    <message>
        <source>choose {needed}, or the job that fits the file</source>
        <translation>wählen Sie {needed} oder die Aufgabe, die zur Datei passt</translation>
    </message>
    <message>
        <source>the list could not be written to {file}: {detail}</source>
        <translation>die Liste konnte nicht nach {file} geschrieben werden: {detail}</translation>
    </message>
    <message>
        <source>choose a folder that you may write to and that has room</source>
        <translation>wählen Sie einen Ordner, in den Sie schreiben dürfen und der Platz hat</translation>
    </message>
    <message>
        <source>{file} is {detail}, not a regular file</source>
        <translation>{file} ist {detail}, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>give the name of a regular file</source>
        <translation>geben Sie den Namen einer gewöhnlichen Datei an</translation>
    </message>
    <message>
        <source>the list cannot be saved in {file}: {detail}</source>
        <translation>die Liste kann nicht in {file} gespeichert werden: {detail}</translation>
    </message>
    <message>
        <source>choose a folder that exists and that you may write to</source>
        <translation>wählen Sie einen Ordner, den es gibt und in den Sie schreiben dürfen</translation>
    </message>
    <message>
        <source>the box did not answer within {detail} s</source>
        <translation>der Receiver hat nicht innerhalb von {detail} s geantwortet</translation>
    </message>
    <message>
        <source>the box did not answer: check the cable, the box&apos;s power and the port</source>
        <translation>der Receiver hat nicht geantwortet: prüfen Sie das Kabel, die Stromversorgung des Receivers und den Port</translation>
    </message>
    <message>
        <source>the box answered &quot;{detail}&quot;, not what this step waits for</source>
        <translation>der Receiver antwortete &quot;{detail}&quot;, nicht das, worauf dieser Schritt wartet</translation>
    </message>
    <message>
        <source>check that the box is of the family the job is for, switch it off and on, and start again</source>
        <translation>prüfen Sie, ob der Receiver zur Familie der Aufgabe gehört, schalten Sie ihn aus und ein und starten Sie erneut</translation>
    </message>
    <message>
        <source>the box refused: &quot;{detail}&quot;</source>
        <translation>der Receiver hat abgelehnt: &quot;{detail}&quot;</translation>
    </message>
    <message>
        <source>check that the file is meant for this box, then start again</source>
        <translation>prüfen Sie, ob die Datei für diesen Receiver bestimmt ist, und starten Sie erneut</translation>
    </message>
    <message>
        <source>the box&apos;s start-up control is too old: &quot;{detail}&quot; (1.7 is needed)</source>
        <translation>die Startsteuerung des Receivers ist zu alt: &quot;{detail}&quot; (1.7 wird gebraucht)</translation>
    </message>
    <message>
        <source>this box cannot be loaded over the cable: have its start-up control renewed</source>
        <translation>dieser Receiver kann nicht über das Kabel geladen werden: lassen Sie seine Startsteuerung erneuern</translation>
    </message>
    <message>
        <source>the box answered, but sent no channel list</source>
        <translation>der Receiver hat geantwortet, aber keine Senderliste gesendet</translation>
    </message>
    <message>
        <source>switch the box off and on, wait until it runs, and start again</source>
        <translation>schalten Sie den Receiver aus und ein, warten Sie, bis er läuft, und starten Sie erneut</translation>
    </message>
    <message>
        <source>the channel list did not end within {detail} s</source>
        <translation>die Senderliste endete nicht innerhalb von {detail} s</translation>
    </message>
    <message>
        <source>check the cable and start again</source>
        <translation>prüfen Sie das Kabel und starten Sie erneut</translation>
    </message>
    <message>
        <source>the box sent more than {detail} bytes: no channel list is that long</source>
        <translation>der Receiver hat mehr als {detail} Bytes gesendet: so lang ist keine Senderliste</translation>
    </message>
    <message>
        <source>check that a set-top box of this family is on the port</source>
        <translation>prüfen Sie, ob ein Receiver dieser Familie am Port hängt</translation>
    </message>
    <message>
        <source>the box sent an empty channel list</source>
        <translation>der Receiver hat eine leere Senderliste gesendet</translation>
    </message>
    <message>
        <source>check the box&apos;s channels; the file was left as it was</source>
        <translation>prüfen Sie die Sender des Receivers; die Datei blieb, wie sie war</translation>
    </message>
    <message>
        <source>the serial line went: {detail}</source>
        <translation>die serielle Leitung ist weg: {detail}</translation>
    </message>
    <message>
        <source>plug the adapter and the cable in again, then start the job again</source>
        <translation>stecken Sie Adapter und Kabel wieder ein und starten Sie die Aufgabe erneut</translation>
    </message>
    <message>
        <source>the box stopped taking the file</source>
        <translation>der Receiver hat aufgehört, die Datei anzunehmen</translation>
    </message>
    <message>
        <source>check the cable and the box&apos;s power, then start the job again</source>
        <translation>prüfen Sie das Kabel und die Stromversorgung des Receivers und starten Sie die Aufgabe erneut</translation>
    </message>
    <message>
        <source>the list read back from the box differs from the file {detail}</source>
        <translation>die vom Receiver zurückgelesene Liste weicht von der Datei ab: {detail}</translation>
    </message>
    <message>
        <source>upload the list again</source>
        <translation>laden Sie die Liste erneut hoch</translation>
    </message>
    <message>
        <source>the box&apos;s console did not answer within {detail} s of its start</source>
        <translation>die Konsole des Receivers hat nicht innerhalb von {detail} s nach seinem Start geantwortet</translation>
    </message>
    <message>
        <source>check that the box has started; the list was uploaded but not verified</source>
        <translation>prüfen Sie, ob der Receiver gestartet ist; die Liste wurde hochgeladen, aber nicht geprüft</translation>
    </message>
    <message>
        <source>an HD update file (*.app)</source>
        <translation>eine HD-Updatedatei (*.app)</translation>
    </message>
    <message>
        <source>an HD channel list (*.lis)</source>
        <translation>eine HD-Senderliste (*.lis)</translation>
    </message>
    <message>
        <source>SD update images (*.app)</source>
        <translation>SD-Updatedateien (*.app)</translation>
    </message>
    <message>
        <source>an SD channel list (*.lst)</source>
        <translation>eine SD-Senderliste (*.lst)</translation>
    </message>
    <message>
        <source>an HD update file</source>
        <translation>eine HD-Updatedatei</translation>
    </message>
    <message>
        <source>an HD channel list</source>
        <translation>eine HD-Senderliste</translation>
    </message>
    <message>
        <source>no HD file</source>
        <translation>keine HD-Datei</translation>
    </message>
    <message>
        <source>an SD channel list</source>
        <translation>eine SD-Senderliste</translation>
    </message>
    <message>
        <source>an SD update image</source>
        <translation>eine SD-Updatedatei</translation>
    </message>
    <message>
        <source>no SD file</source>
        <translation>keine SD-Datei</translation>
    </message>
    <message>
        <source>a FIFO</source>
        <translation>eine FIFO</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>the box was not changed</source>
        <translation>der Receiver wurde nicht verändert</translation>
    </message>
    <message>
        <source>the box may be left half-updated: update it again before you start it</source>
        <translation>der Receiver ist womöglich nur halb aktualisiert: aktualisieren Sie ihn erneut, bevor Sie ihn starten</translation>
    </message>
    <message>
        <source>the box may hold a half-loaded list: upload the list again</source>
        <translation>der Receiver hat womöglich eine halb geladene Liste: laden Sie die Liste erneut hoch</translation>
    </message>
    <message>
        <source>the box holds the new firmware</source>
        <translation>der Receiver hat die neue Firmware</translation>
    </message>
    <message>
        <source>the box holds the uploaded list</source>
        <translation>der Receiver hat die hochgeladene Liste</translation>
    </message>
    <message>
        <source>the list is saved in {file}</source>
        <translation>die Liste ist in {file} gespeichert</translation>
    </message>
    <message>
        <source>the file {file} was left as it was</source>
        <translation>die Datei {file} blieb, wie sie war</translation>
    </message>
    <message>
        <source>the factory reset was sent</source>
        <translation>der Werksreset wurde gesendet</translation>
    </message>
    <message>
        <source>the job was stopped: %1</source>
        <translation>die Aufgabe wurde abgebrochen: %1</translation>
    </message>
    <message>
        <source>check the cable and the box, then start again</source>
        <translation>prüfen Sie Kabel und Receiver und starten Sie erneut</translation>
    </message>
    <message>
        <source>done</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>the window was closed</source>
        <translation>das Fenster wurde geschlossen</translation>
    </message>
    <message>
        <source>Stop was pressed</source>
        <translation>Stopp wurde gedrückt</translation>
    </message>
    <message>
        <source>interrupted by SIGHUP</source>
        <translation>durch SIGHUP abgebrochen</translation>
    </message>
    <message>
        <source>interrupted by SIGINT</source>
        <translation>durch SIGINT abgebrochen</translation>
    </message>
    <message>
        <source>interrupted by SIGTERM</source>
        <translation>durch SIGTERM abgebrochen</translation>
    </message>
    <message>
        <source>the box&apos;s answer is no {extra}: {detail}</source>
        <translation>die Antwort des Receivers ist keine {extra}: {detail}</translation>
    </message>
    <message>
        <source>check that an HD box runs on the port, then ask again</source>
        <translation>prüfen Sie, ob am Port ein laufender HD-Receiver hängt, und fragen Sie erneut</translation>
    </message>
    <message>
        <source>software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <source>low-power version</source>
        <translation>Lowpower-Version</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>the list has %1 bytes; the box takes at most %2 bytes in an upload, so this file cannot go back to a box</source>
        <translation>die Liste hat %1 Bytes; der Receiver nimmt beim Hochladen höchstens %2 Bytes, daher kann diese Datei nicht zurück in einen Receiver</translation>
    </message>
    <message>
        <source>no two reads of the channel list agreed: the last two differ {detail}</source>
        <translation>keine zwei Lesungen der Senderliste stimmten überein: die letzten beiden weichen ab {detail}</translation>
    </message>
    <message>
        <source>a noisy cable or adapter changes bytes: check or change them, then download again</source>
        <translation>ein gestörtes Kabel oder ein gestörter Adapter verändert Bytes: prüfen oder tauschen Sie sie und laden Sie erneut herunter</translation>
    </message>
    <message>
        <source>check the network&apos;s name server, or give the serial server&apos;s IP address instead of its name</source>
        <translation>prüfen Sie den Namensserver des Netzes, oder geben Sie statt des Namens die IP-Adresse des seriellen Servers an</translation>
    </message>
    <message>
        <source>check that the serial server runs and that host and port are right (its configuration, e.g. ser2net&apos;s)</source>
        <translation>prüfen Sie, ob der serielle Server läuft und Host und Port stimmen (seine Konfiguration, z. B. die von ser2net)</translation>
    </message>
    <message>
        <source>plug the adapter in, then choose its port in the port list</source>
        <translation>stecken Sie den Adapter ein und wählen Sie dann seinen Port in der Portliste</translation>
    </message>
    <message>
        <source>check the adapter, then choose its port in the port list</source>
        <translation>prüfen Sie den Adapter und wählen Sie dann seinen Port in der Portliste</translation>
    </message>
    <message>
        <source>set the serial server&apos;s port so that clients may set it to 115200 baud, 8N1 (its configuration, e.g. ser2net&apos;s), or use socket:// with the server&apos;s own settings</source>
        <translation>stellen Sie den Port des seriellen Servers so ein, dass Clients ihn auf 115200 Baud, 8N1 setzen dürfen (seine Konfiguration, z. B. die von ser2net), oder nutzen Sie socket:// mit den Einstellungen des Servers</translation>
    </message>
    <message>
        <source>the serial server cannot open its device: {detail}</source>
        <translation>der serielle Server kann sein Gerät nicht öffnen: {detail}</translation>
    </message>
    <message>
        <source>check the device in the serial server&apos;s configuration (e.g. ser2net&apos;s): that it exists, that the adapter is plugged in, and that no other program uses it</source>
        <translation>prüfen Sie das Gerät in der Konfiguration des seriellen Servers (z. B. der von ser2net): dass es existiert, dass der Adapter eingesteckt ist und dass kein anderes Programm es benutzt</translation>
    </message>
    <message>
        <source>the connection to the serial server was closed: {detail}</source>
        <translation>die Verbindung zum seriellen Server wurde geschlossen: {detail}</translation>
    </message>
    <message>
        <source>check that the serial server still runs and that the network reaches it, then start the job again</source>
        <translation>prüfen Sie, ob der serielle Server noch läuft und über das Netz erreichbar ist, und starten Sie die Aufgabe erneut</translation>
    </message>
    <message>
        <source>the port&apos;s name is too long: {detail}</source>
        <translation>der Name des Ports ist zu lang: {detail}</translation>
    </message>
    <message>
        <source>give the port&apos;s name as the system names it, e.g. ttyUSB0 (velmora --list-ports)</source>
        <translation>geben Sie den Namen des Ports so an, wie das System ihn nennt, z. B. ttyUSB0 (velmora --list-ports)</translation>
    </message>
    <message>
        <source>%1: the box&apos;s line may not run at 115200 baud, 8N1; if the box stays silent, set the server&apos;s port to these settings</source>
        <translation>%1: die Leitung zur Box läuft womöglich nicht mit 115200 Baud, 8N1; bleibt die Box stumm, stellen Sie den Port des Servers darauf ein</translation>
    </message>
    <message>
        <source>neither an HD nor an SD file</source>
        <translation>weder eine HD- noch eine SD-Datei</translation>
    </message>
    <message>
        <source>Is a FIFO, not a regular file</source>
        <translation>Ist eine FIFO, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Ist ein Gerät, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Ist ein Socket, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>another port&apos;s download writes it too</source>
        <translation>der Download eines anderen Ports schreibt sie ebenfalls</translation>
    </message>
    <message>
        <source>choose the port in the port list instead of typing its name</source>
        <translation>wählen Sie den Port in der Portliste, statt seinen Namen einzutippen</translation>
    </message>
    <message>
        <source>the name {detail} is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes</source>
        <translation>der Name {detail} ist in der Kodierung des Systems (UTF-8) ungültig: er würde unter anderen Bytes gelesen oder geschrieben</translation>
    </message>
    <message>
        <source>rename the file</source>
        <translation>benennen Sie die Datei um</translation>
    </message>
</context>
<context>
    <name>jobSummary</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Step: %1</source>
        <translation>Schritt: %1</translation>
    </message>
    <message>
        <source>Cause: %1</source>
        <translation>Ursache: %1</translation>
    </message>
    <message>
        <source>Remedy: %1</source>
        <translation>Abhilfe: %1</translation>
    </message>
    <message>
        <source>Box: %1</source>
        <translation>Receiver: %1</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
</context>
<context>
    <name>logfile</name>
    <message>
        <source>it is a FIFO, not a regular file</source>
        <translation>es ist eine FIFO, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a socket, not a regular file</source>
        <translation>es ist ein Socket, keine gewöhnliche Datei</translation>
    </message>
</context>
</TS>

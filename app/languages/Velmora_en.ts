<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <source>Velmora</source>
        <translation>Velmora</translation>
    </message>
    <message>
        <source>&amp;quit</source>
        <translation>&amp;quit</translation>
    </message>
    <message>
        <source>&amp;transmit</source>
        <translation>&amp;transmit</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>&amp;Menu</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Get Softwareversion</source>
        <translation>Get Softwareversion</translation>
    </message>
    <message>
        <source>Get Lowpowerversion</source>
        <translation>Get Lowpowerversion</translation>
    </message>
    <message>
        <source>Get MAC-Address</source>
        <translation>Get MAC-Address</translation>
    </message>
    <message>
        <source>Initialize Factory Reset</source>
        <translation>Initialize Factory Reset</translation>
    </message>
    <message>
        <source>&amp;get Channellist</source>
        <translation>&amp;get Channellist</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Ctrl+G</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>About &amp;Qt</translation>
    </message>
    <message>
        <source>Ctrl+F1</source>
        <translation>Ctrl+F1</translation>
    </message>
    <message>
        <source>send &amp;Channellist</source>
        <translation>send &amp;Channellist</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>update &amp;HD Firmware</source>
        <translation>update &amp;HD Firmware</translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation>Ctrl+2</translation>
    </message>
    <message>
        <source>&amp;rerun</source>
        <translation>&amp;rerun</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>update &amp;SD Firmware</source>
        <translation>update &amp;SD Firmware</translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation>Ctrl+1</translation>
    </message>
    <message>
        <source>&amp;edit Channellist</source>
        <translation>&amp;edit Channellist</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation>%1 (not found)</translation>
    </message>
    <message>
        <source>Received unknown message: %1</source>
        <translation>Received unknown message: %1</translation>
    </message>
    <message>
        <source>A transfer is running. Stopping it now can leave the Settopbox unusable.
Stop the transfer and quit?</source>
        <translation>A transfer is running. Stopping it now can leave the Settopbox unusable.
Stop the transfer and quit?</translation>
    </message>
    <message>
        <source>Update file</source>
        <translation>Update file</translation>
    </message>
    <message>
        <source>HD-Firmware file</source>
        <translation>HD-Firmware file</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>All Files</translation>
    </message>
    <message>
        <source>SD-Firmware file</source>
        <translation>SD-Firmware file</translation>
    </message>
    <message>
        <source>Channel list</source>
        <translation>Channel list</translation>
    </message>
    <message>
        <source>No Channel list detected!</source>
        <translation>No Channel list detected!</translation>
    </message>
    <message>
        <source>Please choose a name ending in .lis (HD) or .lst (SD).</source>
        <translation>Please choose a name ending in .lis (HD) or .lst (SD).</translation>
    </message>
    <message>
        <source>With this program you can update your Settopbox
and copy the Channel list from and to your PC.
all you need a cable from RS232 to RJ11

This software uses the Qt-Framework (https://www.qt.io)
and QextSerialPort (https://github.com/qextserialport/qextserialport)

Version: %1
Date: %2</source>
        <translation>With this program you can update your Settopbox
and copy the Channel list from and to your PC.
all you need a cable from RS232 to RJ11

This software uses the Qt-Framework (https://www.qt.io)
and QextSerialPort (https://github.com/qextserialport/qextserialport)

Version: %1
Date: %2</translation>
    </message>
    <message>
        <source>Language changed to: %1</source>
        <translation>Language changed to: %1</translation>
    </message>
    <message>
        <source>done</source>
        <translation>done</translation>
    </message>
    <message>
        <source>Downloading Channel list</source>
        <translation>Downloading Channel list</translation>
    </message>
    <message>
        <source>Searching Start of List</source>
        <translation>Searching Start of List</translation>
    </message>
    <message>
        <source>End of the List found</source>
        <translation>End of the List found</translation>
    </message>
    <message>
        <source>Uploading Channel list</source>
        <translation>Uploading Channel list</translation>
    </message>
    <message>
        <source>Opening LoadMenu</source>
        <translation>Opening LoadMenu</translation>
    </message>
    <message>
        <source>Opening LoadMenu done</source>
        <translation>Opening LoadMenu done</translation>
    </message>
    <message>
        <source>Sending file</source>
        <translation>Sending file</translation>
    </message>
    <message>
        <source>File sent</source>
        <translation>File sent</translation>
    </message>
    <message>
        <source>Waiting till Settopbox finishes</source>
        <translation>Waiting till Settopbox finishes</translation>
    </message>
    <message>
        <source>Waiting till Settopbox started</source>
        <translation>Waiting till Settopbox started</translation>
    </message>
    <message>
        <source>SettopBox running</source>
        <translation>SettopBox running</translation>
    </message>
    <message>
        <source>Updating the Firmware</source>
        <translation>Updating the Firmware</translation>
    </message>
    <message>
        <source>Initializing upload</source>
        <translation>Initializing upload</translation>
    </message>
    <message>
        <source>Initializing of upload done</source>
        <translation>Initializing of upload done</translation>
    </message>
    <message>
        <source>Initializing the Download</source>
        <translation>Initializing the Download</translation>
    </message>
    <message>
        <source>Ready to receive Data</source>
        <translation>Ready to receive Data</translation>
    </message>
    <message>
        <source>Restarting PCB</source>
        <translation>Restarting PCB</translation>
    </message>
    <message>
        <source>Restarting PCB done</source>
        <translation>Restarting PCB done</translation>
    </message>
    <message>
        <source>Waiting to send the file</source>
        <translation>Waiting to send the file</translation>
    </message>
    <message>
        <source>Waiting to send the file done</source>
        <translation>Waiting to send the file done</translation>
    </message>
    <message>
        <source>Waiting till File flashed</source>
        <translation>Waiting til File flashed</translation>
    </message>
    <message>
        <source>File flashed</source>
        <translation>File flashed</translation>
    </message>
    <message>
        <source>Settopbox finish</source>
        <translation>Settopbox finish</translation>
    </message>
    <message>
        <source>Listdownload complete</source>
        <translation>Listdownload complete</translation>
    </message>
    <message>
        <source>Channel list downloaded</source>
        <translation>Channel list downloaded</translation>
    </message>
    <message>
        <source>Listupload done</source>
        <translation>Listupload done</translation>
    </message>
    <message>
        <source>Channel list uploaded</source>
        <translation>Channel list uploaded</translation>
    </message>
    <message>
        <source>Update done</source>
        <translation>Update done</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Firmware updated</source>
        <translation>Firmware updated</translation>
    </message>
    <message>
        <source>Couldn&apos;t open COM-Port</source>
        <translation>Couldn&apos;t open COM-Port</translation>
    </message>
    <message>
        <source>Opening COM-Port</source>
        <translation>Opening COM-Port</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the File</source>
        <translation>Couldn&apos;t open the File</translation>
    </message>
    <message>
        <source>Opening File</source>
        <translation>Opening File</translation>
    </message>
    <message>
        <source>Error while initializing the Upload</source>
        <translation>Error while initializing the Upload</translation>
    </message>
    <message>
        <source>Initializing Upload</source>
        <translation>Initializing Upload</translation>
    </message>
    <message>
        <source>Couldn&apos;t receive Data</source>
        <translation>Couldn&apos;t receive Data</translation>
    </message>
    <message>
        <source>Receiving Data</source>
        <translation>Receiving Data</translation>
    </message>
    <message>
        <source>Timeout while downloading the List</source>
        <translation>Timeout while downloading the List</translation>
    </message>
    <message>
        <source>Downloading List</source>
        <translation>Downloading List</translation>
    </message>
    <message>
        <source>Error while writing to the Port</source>
        <translation>Error while writing to the Port</translation>
    </message>
    <message>
        <source>Writing to Port</source>
        <translation>Writing to Port</translation>
    </message>
    <message>
        <source>Error while Settopbox finishes</source>
        <translation>Error while Settopbox finishes</translation>
    </message>
    <message>
        <source>Finishing</source>
        <translation>Finishing</translation>
    </message>
    <message>
        <source>Settopbox rejected the file</source>
        <translation>Settopbox rejected the file</translation>
    </message>
    <message>
        <source>Uploading File</source>
        <translation>Uploading File</translation>
    </message>
    <message>
        <source>The Settopbox rejected a file</source>
        <translation>The Settopbox rejected a file</translation>
    </message>
    <message>
        <source>Error while starting the Settopbox</source>
        <translation>Error while starting the Settopbox</translation>
    </message>
    <message>
        <source>Starting Settopbox</source>
        <translation>Starting Settopbox</translation>
    </message>
    <message>
        <source>Error while initializing the Download</source>
        <translation>Error while initializing the Download</translation>
    </message>
    <message>
        <source>Initializing Download</source>
        <translation>Initializing Download</translation>
    </message>
    <message>
        <source>Error while opening the LoadMenu</source>
        <translation>Error while opening the LoadMenu</translation>
    </message>
    <message>
        <source>Wrong Filetype detected!</source>
        <translation>Wrong Filetype detected!</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Wrong filetype detected!
Can&apos;t upload that file!</source>
        <translation>Wrong filetype detected!
Can&apos;t upload that file!</translation>
    </message>
    <message>
        <source>The StartUpControl is to old</source>
        <translation>The StartUpControl is to old</translation>
    </message>
    <message>
        <source>The StartUpControl is to old!
Can&apos;t update this Box!</source>
        <translation>The StartUpControl is to old!
Can&apos;t update this Box!</translation>
    </message>
    <message>
        <source>Error while restarting PCB</source>
        <translation>Error while restarting PCB</translation>
    </message>
    <message>
        <source>Error while flashing the File</source>
        <translation>Error while flashing the File</translation>
    </message>
    <message>
        <source>Flashing File</source>
        <translation>Flashing File</translation>
    </message>
    <message>
        <source>Error while flashing the file</source>
        <translation>Error while flashing the file</translation>
    </message>
    <message>
        <source>Box information…</source>
        <translation>Box information…</translation>
    </message>
    <message>
        <source>Box information</source>
        <translation>Box information</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>asking…</source>
        <translation>asking…</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>Low-power version</source>
        <translation>Low-power version</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>Verify: waiting for the Settopbox to answer</source>
        <translation>Verify: waiting for the Settopbox to answer</translation>
    </message>
    <message>
        <source>Verify: reading the Channel list back</source>
        <translation>Verify: reading the Channel list back</translation>
    </message>
    <message>
        <source>Channel list verified</source>
        <translation>Channel list verified</translation>
    </message>
    <message>
        <source>Channel list verified:
the Settopbox holds it as in the file</source>
        <translation>Channel list verified:
the Settopbox holds it as in the file</translation>
    </message>
    <message>
        <source>Channel list differs from the file</source>
        <translation>Channel list differs from the file</translation>
    </message>
    <message>
        <source>Verifying Channel list</source>
        <translation>Verifying Channel list</translation>
    </message>
    <message>
        <source>The Channel list in the Settopbox differs from the file!
The log names the first difference.</source>
        <translation>The Channel list in the Settopbox differs from the file!
The log names the first difference.</translation>
    </message>
    <message>
        <source>Couldn&apos;t verify the Channel list</source>
        <translation>Couldn&apos;t verify the Channel list</translation>
    </message>
    <message>
        <source>The Settopbox did not answer:
the Channel list could not be verified</source>
        <translation>The Settopbox did not answer:
the Channel list could not be verified</translation>
    </message>
    <message>
        <source>Stop the running job at its next wait (Esc)</source>
        <translation>Stop the running job at its next wait (Esc)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>HD firmware update</source>
        <translation>HD firmware update</translation>
    </message>
    <message>
        <source>HD channel list upload</source>
        <translation>HD channel list upload</translation>
    </message>
    <message>
        <source>HD channel list download</source>
        <translation>HD channel list download</translation>
    </message>
    <message>
        <source>SD firmware update</source>
        <translation>SD firmware update</translation>
    </message>
    <message>
        <source>SD channel list upload</source>
        <translation>SD channel list upload</translation>
    </message>
    <message>
        <source>SD channel list download</source>
        <translation>SD channel list download</translation>
    </message>
    <message>
        <source>The file is being sent.
Stopping now can leave the Settopbox half-updated:
it must then be updated again.
Stop the transfer?</source>
        <translation>The file is being sent.
Stopping now can leave the Settopbox half-updated:
it must then be updated again.
Stop the transfer?</translation>
    </message>
    <message>
        <source>%1 (%2 s)</source>
        <translation>%1 (%2 s)</translation>
    </message>
    <message>
        <source>&amp;Verify channel lists</source>
        <translation>&amp;Verify channel lists</translation>
    </message>
    <message>
        <source>Read an uploaded Channel list back from the Settopbox and compare it with the file; read a downloaded list again until two reads agree</source>
        <translation>Read an uploaded Channel list back from the Settopbox and compare it with the file; read a downloaded list again until two reads agree</translation>
    </message>
    <message>
        <source>The reads of the Channel list differ</source>
        <translation>The reads of the Channel list differ</translation>
    </message>
    <message>
        <source>No two reads of the Channel list from the Settopbox agreed!
The file was left as it was; the log names the differences.</source>
        <translation>No two reads of the Channel list from the Settopbox agreed!
The file was left as it was; the log names the differences.</translation>
    </message>
    <message>
        <source>The Settopbox is writing the file it has received.
Stopping now can leave it half-updated:
it must then be updated again.
Stop the transfer?</source>
        <translation>The Settopbox is writing the file it has received.
Stopping now can leave it half-updated:
it must then be updated again.
Stop the transfer?</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>The box gave no answer. SD boxes have no service commands: box information is for HD boxes. For an HD box, check the cable, the box&apos;s power and the port.</source>
        <translation>The box gave no answer. SD boxes have no service commands: box information is for HD boxes. For an HD box, check the cable, the box&apos;s power and the port.</translation>
    </message>
    <message>
        <source>&amp;Bench of boxes…</source>
        <translation>&amp;Bench of boxes…</translation>
    </message>
    <message>
        <source>One row per box: several boxes side by side, each on its own port</source>
        <translation>One row per box: several boxes side by side, each on its own port</translation>
    </message>
    <message>
        <source>Open records</source>
        <translation>Open records</translation>
    </message>
    <message>
        <source>Opens the record of every job (a CSV file beside the log)</source>
        <translation>Opens the record of every job (a CSV file beside the log)</translation>
    </message>
    <message>
        <source>The records file %1 cannot be written: %2. The job goes on without its record.</source>
        <translation>The records file %1 cannot be written: %2. The job goes on without its record.</translation>
    </message>
    <message>
        <source>The records file %1 cannot be written: %2</source>
        <translation>The records file %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>No program opens %1: open it in a spreadsheet</source>
        <translation>No program opens %1: open it in a spreadsheet</translation>
    </message>
    <message>
        <source>Another Velmora writes %1: this window logs to %2</source>
        <translation>Another Velmora writes %1: this window logs to %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Channel list HD</source>
        <translation>Channel list HD</translation>
    </message>
    <message>
        <source>Channel list SD</source>
        <translation>Channel list SD</translation>
    </message>
</context>
<context>
    <name>QShortcut</name>
    <message>
        <source>Ctrl</source>
        <translation>Ctrl</translation>
    </message>
</context>
<context>
    <name>QextSerialPort</name>
    <message>
        <source>No error</source>
        <translation>No error</translation>
    </message>
    <message>
        <source>The port is not open</source>
        <translation>The port is not open</translation>
    </message>
    <message>
        <source>The port is already open</source>
        <translation>The port is already open</translation>
    </message>
    <message>
        <source>The device %1 does not exist</source>
        <translation>The device %1 does not exist</translation>
    </message>
    <message>
        <source>No permission to open the device %1</source>
        <translation>No permission to open the device %1</translation>
    </message>
    <message>
        <source>The device is locked by another program</source>
        <translation>The device is locked by another program</translation>
    </message>
    <message>
        <source>The device is no serial line</source>
        <translation>The device is no serial line</translation>
    </message>
    <message>
        <source>The line settings could not be applied</source>
        <translation>The line settings could not be applied</translation>
    </message>
    <message>
        <source>This baud rate is not supported</source>
        <translation>This baud rate is not supported</translation>
    </message>
    <message>
        <source>No memory left for the port buffers</source>
        <translation>No memory left for the port buffers</translation>
    </message>
    <message>
        <source>Reading from the port failed</source>
        <translation>Reading from the port failed</translation>
    </message>
    <message>
        <source>Writing to the port failed</source>
        <translation>Writing to the port failed</translation>
    </message>
    <message>
        <source>The operation timed out</source>
        <translation>The operation timed out</translation>
    </message>
    <message>
        <source>A parity error was detected</source>
        <translation>A parity error was detected</translation>
    </message>
    <message>
        <source>A framing error was detected; check the baud rate</source>
        <translation>A framing error was detected; check the baud rate</translation>
    </message>
    <message>
        <source>A break was detected on the line</source>
        <translation>A break was detected on the line</translation>
    </message>
    <message>
        <source>Received data was lost: input buffer full</source>
        <translation>Received data was lost: input buffer full</translation>
    </message>
    <message>
        <source>The device was removed</source>
        <translation>The device was removed</translation>
    </message>
    <message>
        <source>Unknown port error %1</source>
        <translation>Unknown port error %1</translation>
    </message>
</context>
<context>
    <name>batchJob</name>
    <message>
        <source>%1 may be given only once</source>
        <translation>%1 may be given only once</translation>
    </message>
    <message>
        <source>no port given (-p PORT)</source>
        <translation>no port given (-p PORT)</translation>
    </message>
    <message>
        <source>port named twice: %1</source>
        <translation>port named twice: %1</translation>
    </message>
    <message>
        <source>unknown option or job: %1</source>
        <translation>unknown option or job: %1</translation>
    </message>
    <message>
        <source>--query and --factory-reset go one at a time</source>
        <translation>--query and --factory-reset go one at a time</translation>
    </message>
    <message>
        <source>a service request takes no job and no file</source>
        <translation>a service request takes no job and no file</translation>
    </message>
    <message>
        <source>--factory-reset would set the HD box on each port given back to its factory settings; its channel list and settings would be lost. Add --yes to send the reset.</source>
        <translation>--factory-reset would set the HD box on each port given back to its factory settings; its channel list and settings would be lost. Add --yes to send the reset.</translation>
    </message>
    <message>
        <source>unknown query: %1 (software, lowpower or mac)</source>
        <translation>unknown query: %1 (software, lowpower or mac)</translation>
    </message>
    <message>
        <source>no job given (-t JOB, or a file recognised by its content)</source>
        <translation>no job given (-t JOB, or a file recognised by its content)</translation>
    </message>
    <message>
        <source>no file given (-f FILE)</source>
        <translation>no file given (-f FILE)</translation>
    </message>
    <message>
        <source>interrupted; the jobs stop at their next wait</source>
        <translation>interrupted; the jobs stop at their next wait</translation>
    </message>
    <message>
        <source>warning: the box did not confirm its start; check that it runs</source>
        <translation>warning: the box did not confirm its start; check that it runs</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>Try &apos;velmora --help&apos;.</source>
        <translation>Try &apos;velmora --help&apos;.</translation>
    </message>
    <message>
        <source>port</source>
        <translation>port</translation>
    </message>
    <message>
        <source>result</source>
        <translation>result</translation>
    </message>
    <message>
        <source>time</source>
        <translation>time</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>an empty port name was given (-p &quot;&quot;)</source>
        <translation>an empty port name was given (-p &quot;&quot;)</translation>
    </message>
    <message>
        <source>the jobs are %1</source>
        <translation>the jobs are %1</translation>
    </message>
    <message>
        <source>what to do: %1</source>
        <translation>what to do: %1</translation>
    </message>
    <message>
        <source>--identify: an SD box has no service commands; the job runs without them</source>
        <translation>--identify: an SD box has no service commands; the job runs without them</translation>
    </message>
    <message>
        <source>  cause: %1</source>
        <translation>  cause: %1</translation>
    </message>
    <message>
        <source>  what to do: %1</source>
        <translation>  what to do: %1</translation>
    </message>
    <message>
        <source>  box: %1</source>
        <translation>  box: %1</translation>
    </message>
    <message>
        <source>nothing was run (exit code %1)</source>
        <translation>nothing was run (exit code %1)</translation>
    </message>
    <message>
        <source>done</source>
        <translation>done</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>%1 %2 (exit code %3)</source>
        <translation>%1 %2 (exit code %3)</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>version</source>
        <translation>version</translation>
    </message>
    <message>
        <source>the answer could not be written to standard output</source>
        <translation>the answer could not be written to standard output</translation>
    </message>
    <message>
        <source>%L1 / %L2 bytes</source>
        <translation>%L1 / %L2 bytes</translation>
    </message>
    <message>
        <source>%1:%2 left</source>
        <translation>%1:%2 left</translation>
    </message>
    <message>
        <source>the log %1 is incomplete</source>
        <translation>the log %1 is incomplete</translation>
    </message>
    <message>
        <source>the log %1 cannot be written: %2; the job goes on</source>
        <translation>the log %1 cannot be written: %2; the job goes on</translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation>note: %1</translation>
    </message>
    <message>
        <source>--verify goes only with a channel list job (SendList or GetList)</source>
        <translation>--verify goes only with a channel list job (SendList or GetList)</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>warning: %1</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes; rename the file</source>
        <translation>the name %1 is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes; rename the file</translation>
    </message>
    <message>
        <source>did you mean %1?</source>
        <translation>did you mean %1?</translation>
    </message>
    <message>
        <source>the records file %1 cannot be written: %2; the job goes on</source>
        <translation>the records file %1 cannot be written: %2; the job goes on</translation>
    </message>
    <message>
        <source>a download from several ports writes a file for each: give a folder, or a name with {port}, {mac} or {date}, e.g. -f &apos;lists/{port}.lis&apos;</source>
        <translation>a download from several ports writes a file for each: give a folder, or a name with {port}, {mac} or {date}, e.g. -f &apos;lists/{port}.lis&apos;</translation>
    </message>
    <message>
        <source>{mac} needs an HD box: an SD box has no service commands</source>
        <translation>{mac} needs an HD box: an SD box has no service commands</translation>
    </message>
    <message>
        <source>the ports %1 and %2 would both write %3: put {port} in the name</source>
        <translation>the ports %1 and %2 would both write %3: put {port} in the name</translation>
    </message>
    <message>
        <source>--retries takes a whole number from 0 to %1, not %2</source>
        <translation>--retries takes a whole number from 0 to %1, not %2</translation>
    </message>
    <message>
        <source>attempt %1 of %2 failed; trying again in %3 s</source>
        <translation>attempt %1 of %2 failed; trying again in %3 s</translation>
    </message>
    <message>
        <source>  the load had begun: the box is half-updated until an attempt loads it whole</source>
        <translation>  the load had begun: the box is half-updated until an attempt loads it whole</translation>
    </message>
    <message>
        <source> (attempt %1)</source>
        <translation> (attempt %1)</translation>
    </message>
    <message>
        <source>(waiting at most %1 s)</source>
        <translation>(waiting at most %1 s)</translation>
    </message>
    <message>
        <source>%1 (%2 s left)</source>
        <translation>%1 (%2 s left)</translation>
    </message>
    <message>
        <source>--loop goes only with a job (-t JOB), not with a service request</source>
        <translation>--loop goes only with a job (-t JOB), not with a service request</translation>
    </message>
    <message>
        <source>--loop with a download writes a file for each box: put {mac} in the name, e.g. -f &apos;lists/{mac}.lis&apos;</source>
        <translation>--loop with a download writes a file for each box: put {mac} in the name, e.g. -f &apos;lists/{mac}.lis&apos;</translation>
    </message>
    <message>
        <source>waiting for the next box: %1</source>
        <translation>waiting for the next box: %1</translation>
    </message>
    <message>
        <source>next box: %1 runs on box %2</source>
        <translation>next box: %1 runs on box %2</translation>
    </message>
    <message>
        <source>boxes: %1 done, %2 failed, %3 stopped</source>
        <translation>boxes: %1 done, %2 failed, %3 stopped</translation>
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
        <translation>Job</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>Box</translation>
    </message>
    <message>
        <source>Next box</source>
        <translation>Next box</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Stops this row&apos;s job, or its wait for the next box</source>
        <translation>Stops this row&apos;s job, or its wait for the next box</translation>
    </message>
    <message>
        <source>Opens this row&apos;s log</source>
        <translation>Opens this row&apos;s log</translation>
    </message>
    <message>
        <source>When the job has ended, wait for the next box on this port and run the job again</source>
        <translation>When the job has ended, wait for the next box on this port and run the job again</translation>
    </message>
    <message>
        <source>no port chosen</source>
        <translation>no port chosen</translation>
    </message>
    <message>
        <source>no job chosen</source>
        <translation>no job chosen</translation>
    </message>
    <message>
        <source>no file chosen</source>
        <translation>no file chosen</translation>
    </message>
    <message>
        <source>No log yet: this row has not run on %1</source>
        <translation>No log yet: this row has not run on %1</translation>
    </message>
    <message>
        <source>The log %1 cannot be written: %2</source>
        <translation>The log %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>not started: %1</source>
        <translation>not started: %1</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>Waiting for the next box: %1</source>
        <translation>Waiting for the next box: %1</translation>
    </message>
    <message>
        <source>No longer waiting for the next box</source>
        <translation>No longer waiting for the next box</translation>
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
        <translation>Retries</translation>
    </message>
    <message>
        <source>Attempt %1 of %2 failed; trying again in %3 s</source>
        <translation>Attempt %1 of %2 failed; trying again in %3 s</translation>
    </message>
    <message>
        <source>(the load had begun: the box is half-updated until an attempt loads it whole)</source>
        <translation>(the load had begun: the box is half-updated until an attempt loads it whole)</translation>
    </message>
    <message>
        <source>How often a failed job is tried again, where another attempt can help: the port could not be opened or reached, the box was silent before the attempt sent anything, the line went or the box stalled, a download&apos;s reads failed. Never after a refusal, a wrong file or a stop.</source>
        <translation>How often a failed job is tried again, where another attempt can help: the port could not be opened or reached, the box was silent before the attempt sent anything, the line went or the box stalled, a download&apos;s reads failed. Never after a refusal, a wrong file or a stop.</translation>
    </message>
</context>
<context>
    <name>benchWindow</name>
    <message>
        <source>Velmora bench</source>
        <translation>Velmora bench</translation>
    </message>
    <message>
        <source>Start all</source>
        <translation>Start all</translation>
    </message>
    <message>
        <source>Stop all</source>
        <translation>Stop all</translation>
    </message>
    <message>
        <source>Add row</source>
        <translation>Add row</translation>
    </message>
    <message>
        <source>Remove row</source>
        <translation>Remove row</translation>
    </message>
    <message>
        <source>Gives every idle row the job and files of the selected row</source>
        <translation>Gives every idle row the job and files of the selected row</translation>
    </message>
    <message>
        <source>Copy job to all rows</source>
        <translation>Copy job to all rows</translation>
    </message>
    <message>
        <source>Every row waits for the next box on its port once its job has ended</source>
        <translation>Every row waits for the next box on its port once its job has ended</translation>
    </message>
    <message>
        <source>Next box on all rows</source>
        <translation>Next box on all rows</translation>
    </message>
    <message>
        <source>port named twice: %1</source>
        <translation>port named twice: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) are sending a file or the box is writing it.
Stopping now can leave those boxes half-updated:
they must then be updated again.
Stop all rows?</source>
        <translation>
            <numerusform>%n row is sending a file or its box is writing it.
Stopping now can leave that box half-updated:
it must then be updated again.
Stop all rows?</numerusform>
            <numerusform>%n rows are sending a file or their boxes are writing it.
Stopping now can leave those boxes half-updated:
they must then be updated again.
Stop all rows?</numerusform>
        </translation>
    </message>
    <message>
        <source>Since the bench was opened: %1 done, %2 failed, %3 stopped</source>
        <translation>Since the bench was opened: %1 done, %2 failed, %3 stopped</translation>
    </message>
    <message>
        <source>Jobs are running on the bench. Stopping them now can leave boxes unusable.
Stop them and close the bench?</source>
        <translation>Jobs are running on the bench. Stopping them now can leave boxes unusable.
Stop them and close the bench?</translation>
    </message>
</context>
<context>
    <name>boxWatch</name>
    <message>
        <source>silent</source>
        <translation>silent</translation>
    </message>
    <message>
        <source>HD console</source>
        <translation>HD console</translation>
    </message>
    <message>
        <source>SD box starting</source>
        <translation>SD box starting</translation>
    </message>
</context>
<context>
    <name>jobResult</name>
    <message>
        <source>the port {file} could not be opened: {detail}</source>
        <translation>the port {file} could not be opened: {detail}</translation>
    </message>
    <message>
        <source>plug the adapter in and check the port&apos;s name (velmora --list-ports)</source>
        <translation>plug the adapter in and check the port&apos;s name (velmora --list-ports)</translation>
    </message>
    <message>
        <source>close the other program that uses the port, then start again</source>
        <translation>close the other program that uses the port, then start again</translation>
    </message>
    <message>
        <source>join the group {extra} and log in again</source>
        <translation>join the group {extra} and log in again</translation>
    </message>
    <message>
        <source>check the port&apos;s name and its adapter (velmora --list-ports)</source>
        <translation>check the port&apos;s name and its adapter (velmora --list-ports)</translation>
    </message>
    <message>
        <source>the file {file} does not exist</source>
        <translation>the file {file} does not exist</translation>
    </message>
    <message>
        <source>check the file&apos;s name and folder</source>
        <translation>check the file&apos;s name and folder</translation>
    </message>
    <message>
        <source>the file {file} cannot be read: {detail}</source>
        <translation>the file {file} cannot be read: {detail}</translation>
    </message>
    <message>
        <source>check that you may read the file and that it is whole</source>
        <translation>check that you may read the file and that it is whole</translation>
    </message>
    <message>
        <source>{file} is {detail}; this job needs {needed}</source>
        <translation>{file} is {detail}; this job needs {needed}</translation>
    </message>
    <message>
        <source>choose {needed}, or the job that fits the file</source>
        <translation>choose {needed}, or the job that fits the file</translation>
    </message>
    <message>
        <source>the list could not be written to {file}: {detail}</source>
        <translation>the list could not be written to {file}: {detail}</translation>
    </message>
    <message>
        <source>choose a folder that you may write to and that has room</source>
        <translation>choose a folder that you may write to and that has room</translation>
    </message>
    <message>
        <source>{file} is {detail}, not a regular file</source>
        <translation>{file} is {detail}, not a regular file</translation>
    </message>
    <message>
        <source>give the name of a regular file</source>
        <translation>give the name of a regular file</translation>
    </message>
    <message>
        <source>the list cannot be saved in {file}: {detail}</source>
        <translation>the list cannot be saved in {file}: {detail}</translation>
    </message>
    <message>
        <source>choose a folder that exists and that you may write to</source>
        <translation>choose a folder that exists and that you may write to</translation>
    </message>
    <message>
        <source>the box did not answer within {detail} s</source>
        <translation>the box did not answer within {detail} s</translation>
    </message>
    <message>
        <source>the box did not answer: check the cable, the box&apos;s power and the port</source>
        <translation>the box did not answer: check the cable, the box&apos;s power and the port</translation>
    </message>
    <message>
        <source>the box answered &quot;{detail}&quot;, not what this step waits for</source>
        <translation>the box answered &quot;{detail}&quot;, not what this step waits for</translation>
    </message>
    <message>
        <source>check that the box is of the family the job is for, switch it off and on, and start again</source>
        <translation>check that the box is of the family the job is for, switch it off and on, and start again</translation>
    </message>
    <message>
        <source>the box refused: &quot;{detail}&quot;</source>
        <translation>the box refused: &quot;{detail}&quot;</translation>
    </message>
    <message>
        <source>check that the file is meant for this box, then start again</source>
        <translation>check that the file is meant for this box, then start again</translation>
    </message>
    <message>
        <source>the box&apos;s start-up control is too old: &quot;{detail}&quot; (1.7 is needed)</source>
        <translation>the box&apos;s start-up control is too old: &quot;{detail}&quot; (1.7 is needed)</translation>
    </message>
    <message>
        <source>this box cannot be loaded over the cable: have its start-up control renewed</source>
        <translation>this box cannot be loaded over the cable: have its start-up control renewed</translation>
    </message>
    <message>
        <source>the box answered, but sent no channel list</source>
        <translation>the box answered, but sent no channel list</translation>
    </message>
    <message>
        <source>switch the box off and on, wait until it runs, and start again</source>
        <translation>switch the box off and on, wait until it runs, and start again</translation>
    </message>
    <message>
        <source>the channel list did not end within {detail} s</source>
        <translation>the channel list did not end within {detail} s</translation>
    </message>
    <message>
        <source>check the cable and start again</source>
        <translation>check the cable and start again</translation>
    </message>
    <message>
        <source>the box sent more than {detail} bytes: no channel list is that long</source>
        <translation>the box sent more than {detail} bytes: no channel list is that long</translation>
    </message>
    <message>
        <source>check that a set-top box of this family is on the port</source>
        <translation>check that a set-top box of this family is on the port</translation>
    </message>
    <message>
        <source>the box sent an empty channel list</source>
        <translation>the box sent an empty channel list</translation>
    </message>
    <message>
        <source>check the box&apos;s channels; the file was left as it was</source>
        <translation>check the box&apos;s channels; the file was left as it was</translation>
    </message>
    <message>
        <source>the serial line went: {detail}</source>
        <translation>the serial line went: {detail}</translation>
    </message>
    <message>
        <source>plug the adapter and the cable in again, then start the job again</source>
        <translation>plug the adapter and the cable in again, then start the job again</translation>
    </message>
    <message>
        <source>the box stopped taking the file</source>
        <translation>the box stopped taking the file</translation>
    </message>
    <message>
        <source>check the cable and the box&apos;s power, then start the job again</source>
        <translation>check the cable and the box&apos;s power, then start the job again</translation>
    </message>
    <message>
        <source>the list read back from the box differs from the file {detail}</source>
        <translation>the list read back from the box differs from the file {detail}</translation>
    </message>
    <message>
        <source>upload the list again</source>
        <translation>upload the list again</translation>
    </message>
    <message>
        <source>the box&apos;s console did not answer within {detail} s of its start</source>
        <translation>the box&apos;s console did not answer within {detail} s of its start</translation>
    </message>
    <message>
        <source>check that the box has started; the list was uploaded but not verified</source>
        <translation>check that the box has started; the list was uploaded but not verified</translation>
    </message>
    <message>
        <source>an HD update file (*.app)</source>
        <translation>an HD update file (*.app)</translation>
    </message>
    <message>
        <source>an HD channel list (*.lis)</source>
        <translation>an HD channel list (*.lis)</translation>
    </message>
    <message>
        <source>SD update images (*.app)</source>
        <translation>SD update images (*.app)</translation>
    </message>
    <message>
        <source>an SD channel list (*.lst)</source>
        <translation>an SD channel list (*.lst)</translation>
    </message>
    <message>
        <source>an HD update file</source>
        <translation>an HD update file</translation>
    </message>
    <message>
        <source>an HD channel list</source>
        <translation>an HD channel list</translation>
    </message>
    <message>
        <source>no HD file</source>
        <translation>no HD file</translation>
    </message>
    <message>
        <source>an SD channel list</source>
        <translation>an SD channel list</translation>
    </message>
    <message>
        <source>an SD update image</source>
        <translation>an SD update image</translation>
    </message>
    <message>
        <source>no SD file</source>
        <translation>no SD file</translation>
    </message>
    <message>
        <source>a FIFO</source>
        <translation>a FIFO</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>the box was not changed</source>
        <translation>the box was not changed</translation>
    </message>
    <message>
        <source>the box may be left half-updated: update it again before you start it</source>
        <translation>the box may be left half-updated: update it again before you start it</translation>
    </message>
    <message>
        <source>the box may hold a half-loaded list: upload the list again</source>
        <translation>the box may hold a half-loaded list: upload the list again</translation>
    </message>
    <message>
        <source>the box holds the new firmware</source>
        <translation>the box holds the new firmware</translation>
    </message>
    <message>
        <source>the box holds the uploaded list</source>
        <translation>the box holds the uploaded list</translation>
    </message>
    <message>
        <source>the list is saved in {file}</source>
        <translation>the list is saved in {file}</translation>
    </message>
    <message>
        <source>the file {file} was left as it was</source>
        <translation>the file {file} was left as it was</translation>
    </message>
    <message>
        <source>the factory reset was sent</source>
        <translation>the factory reset was sent</translation>
    </message>
    <message>
        <source>the job was stopped: %1</source>
        <translation>the job was stopped: %1</translation>
    </message>
    <message>
        <source>check the cable and the box, then start again</source>
        <translation>check the cable and the box, then start again</translation>
    </message>
    <message>
        <source>done</source>
        <translation>done</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>the window was closed</source>
        <translation>the window was closed</translation>
    </message>
    <message>
        <source>Stop was pressed</source>
        <translation>Stop was pressed</translation>
    </message>
    <message>
        <source>interrupted by SIGHUP</source>
        <translation>interrupted by SIGHUP</translation>
    </message>
    <message>
        <source>interrupted by SIGINT</source>
        <translation>interrupted by SIGINT</translation>
    </message>
    <message>
        <source>interrupted by SIGTERM</source>
        <translation>interrupted by SIGTERM</translation>
    </message>
    <message>
        <source>the box&apos;s answer is no {extra}: {detail}</source>
        <translation>the box&apos;s answer is no {extra}: {detail}</translation>
    </message>
    <message>
        <source>check that an HD box runs on the port, then ask again</source>
        <translation>check that an HD box runs on the port, then ask again</translation>
    </message>
    <message>
        <source>software version</source>
        <translation>software version</translation>
    </message>
    <message>
        <source>low-power version</source>
        <translation>low-power version</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>the list has %1 bytes; the box takes at most %2 bytes in an upload, so this file cannot go back to a box</source>
        <translation>the list has %1 bytes; the box takes at most %2 bytes in an upload, so this file cannot go back to a box</translation>
    </message>
    <message>
        <source>no two reads of the channel list agreed: the last two differ {detail}</source>
        <translation>no two reads of the channel list agreed: the last two differ {detail}</translation>
    </message>
    <message>
        <source>a noisy cable or adapter changes bytes: check or change them, then download again</source>
        <translation>a noisy cable or adapter changes bytes: check or change them, then download again</translation>
    </message>
    <message>
        <source>check the network&apos;s name server, or give the serial server&apos;s IP address instead of its name</source>
        <translation>check the network&apos;s name server, or give the serial server&apos;s IP address instead of its name</translation>
    </message>
    <message>
        <source>check that the serial server runs and that host and port are right (its configuration, e.g. ser2net&apos;s)</source>
        <translation>check that the serial server runs and that host and port are right (its configuration, e.g. ser2net&apos;s)</translation>
    </message>
    <message>
        <source>plug the adapter in, then choose its port in the port list</source>
        <translation>plug the adapter in, then choose its port in the port list</translation>
    </message>
    <message>
        <source>check the adapter, then choose its port in the port list</source>
        <translation>check the adapter, then choose its port in the port list</translation>
    </message>
    <message>
        <source>set the serial server&apos;s port so that clients may set it to 115200 baud, 8N1 (its configuration, e.g. ser2net&apos;s), or use socket:// with the server&apos;s own settings</source>
        <translation>set the serial server&apos;s port so that clients may set it to 115200 baud, 8N1 (its configuration, e.g. ser2net&apos;s), or use socket:// with the server&apos;s own settings</translation>
    </message>
    <message>
        <source>the serial server cannot open its device: {detail}</source>
        <translation>the serial server cannot open its device: {detail}</translation>
    </message>
    <message>
        <source>check the device in the serial server&apos;s configuration (e.g. ser2net&apos;s): that it exists, that the adapter is plugged in, and that no other program uses it</source>
        <translation>check the device in the serial server&apos;s configuration (e.g. ser2net&apos;s): that it exists, that the adapter is plugged in, and that no other program uses it</translation>
    </message>
    <message>
        <source>the connection to the serial server was closed: {detail}</source>
        <translation>the connection to the serial server was closed: {detail}</translation>
    </message>
    <message>
        <source>check that the serial server still runs and that the network reaches it, then start the job again</source>
        <translation>check that the serial server still runs and that the network reaches it, then start the job again</translation>
    </message>
    <message>
        <source>the port&apos;s name is too long: {detail}</source>
        <translation>the port&apos;s name is too long: {detail}</translation>
    </message>
    <message>
        <source>give the port&apos;s name as the system names it, e.g. ttyUSB0 (velmora --list-ports)</source>
        <translation>give the port&apos;s name as the system names it, e.g. ttyUSB0 (velmora --list-ports)</translation>
    </message>
    <message>
        <source>%1: the box&apos;s line may not run at 115200 baud, 8N1; if the box stays silent, set the server&apos;s port to these settings</source>
        <translation>%1: the box&apos;s line may not run at 115200 baud, 8N1; if the box stays silent, set the server&apos;s port to these settings</translation>
    </message>
    <message>
        <source>neither an HD nor an SD file</source>
        <translation>neither an HD nor an SD file</translation>
    </message>
    <message>
        <source>Is a FIFO, not a regular file</source>
        <translation>Is a FIFO, not a regular file</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Is a device, not a regular file</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Is a socket, not a regular file</translation>
    </message>
    <message>
        <source>another port&apos;s download writes it too</source>
        <translation>another port&apos;s download writes it too</translation>
    </message>
    <message>
        <source>choose the port in the port list instead of typing its name</source>
        <translation>choose the port in the port list instead of typing its name</translation>
    </message>
    <message>
        <source>the name {detail} is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes</source>
        <translation>the name {detail} is not valid in the system&apos;s encoding (UTF-8): it would be read or written under other bytes</translation>
    </message>
    <message>
        <source>rename the file</source>
        <translation>rename the file</translation>
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
        <translation>Step: %1</translation>
    </message>
    <message>
        <source>Cause: %1</source>
        <translation>Cause: %1</translation>
    </message>
    <message>
        <source>Remedy: %1</source>
        <translation>Remedy: %1</translation>
    </message>
    <message>
        <source>Box: %1</source>
        <translation>Box: %1</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warning: %1</translation>
    </message>
</context>
<context>
    <name>logfile</name>
    <message>
        <source>it is a FIFO, not a regular file</source>
        <translation>it is a FIFO, not a regular file</translation>
    </message>
    <message>
        <source>it is a socket, not a regular file</source>
        <translation>it is a socket, not a regular file</translation>
    </message>
</context>
</TS>

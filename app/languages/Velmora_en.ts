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
        <source>&amp;Verify after upload</source>
        <translation>&amp;Verify after upload</translation>
    </message>
    <message>
        <source>Read an uploaded Channel list back from the Settopbox and compare it with the file</source>
        <translation>Read an uploaded Channel list back from the Settopbox and compare it with the file</translation>
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
        <source>a download writes one file: give it one port</source>
        <translation>a download writes one file: give it one port</translation>
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
        <source>sent</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrupted</translation>
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
        <source>--verify goes only with SendListHD or SendListSD</source>
        <translation>--verify goes only with SendListHD or SendListSD</translation>
    </message>
</context>
</TS>

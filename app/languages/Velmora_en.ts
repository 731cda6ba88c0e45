<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <source>Velmora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;transmit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Softwareversion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Lowpowerversion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get MAC-Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initialize Factory Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;get Channellist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+F1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send &amp;Channellist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update &amp;HD Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;rerun</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update &amp;SD Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;edit Channellist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received unknown message: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A transfer is running. Stopping it now can leave the Settopbox unusable.
Stop the transfer and quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HD-Firmware file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SD-Firmware file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Channel list detected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please choose a name ending in .lis (HD) or .lst (SD).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With this program you can update your Settopbox
and copy the Channel list from and to your PC.
all you need a cable from RS232 to RJ11

This software uses the Qt-Framework (https://www.qt.io)
and QextSerialPort (https://github.com/qextserialport/qextserialport)

Version: %1
Date: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language changed to: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading Channel list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching Start of List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End of the List found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading Channel list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening LoadMenu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening LoadMenu done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting till Settopbox finishes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting till Settopbox started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SettopBox running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating the Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing of upload done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing the Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ready to receive Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restarting PCB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restarting PCB done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting to send the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting to send the file done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting till File flashed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File flashed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settopbox finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Listdownload complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel list downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Listupload done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel list uploaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t open COM-Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening COM-Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t open the File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while initializing the Upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing Upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t receive Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiving Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timeout while downloading the List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while writing to the Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing to Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while Settopbox finishes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finishing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settopbox rejected the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Settopbox rejected a file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while starting the Settopbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting Settopbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while initializing the Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while opening the LoadMenu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong Filetype detected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong filetype detected!
Can&apos;t upload that file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The StartUpControl is to old</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The StartUpControl is to old!
Can&apos;t update this Box!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while restarting PCB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while flashing the File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flashing File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while flashing the file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>TfrmMain</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit Velliant FTP.</source>
        <translation>Velliant FTP beenden.</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>FTP Log</source>
        <translation>FTP-Protokoll</translation>
    </message>
    <message>
        <source>Ser&amp;vers</source>
        <translation>Ser&amp;ver</translation>
    </message>
    <message>
        <source>&amp;Add server</source>
        <translation>Server &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit server</source>
        <translation>Server &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Remove server</source>
        <translation>Server &amp;entfernen</translation>
    </message>
    <message>
        <source>&amp;Disconnect from server</source>
        <translation>Vom Server &amp;trennen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>About Velliant FTP.</source>
        <translation>Über Velliant FTP.</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>TStatusBar</name>
    <message>
        <source>Transfer Status</source>
        <translation>Übertragungsstand</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>&amp;Upload selected files</source>
        <translation>Ausgewählte Dateien hoch&amp;laden</translation>
    </message>
    <message>
        <source>&amp;Download selected entries</source>
        <translation>Ausgewählte Einträge &amp;herunterladen</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Connect to server ...</source>
        <translation>Mit Server &amp;verbinden ...</translation>
    </message>
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
        <source>&amp;Servers</source>
        <translation>&amp;Server</translation>
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
    <message>
        <source>Connect.</source>
        <translation>Verbinden.</translation>
    </message>
    <message>
        <source>Disconnect.</source>
        <translation>Trennen.</translation>
    </message>
    <message>
        <source>Add FTP Server.</source>
        <translation>FTP-Server hinzufügen.</translation>
    </message>
    <message>
        <source>Up.</source>
        <translation>Nach oben.</translation>
    </message>
    <message>
        <source>Create New Folder.</source>
        <translation>Neuen Ordner anlegen.</translation>
    </message>
    <message>
        <source>Delete.</source>
        <translation>Löschen.</translation>
    </message>
    <message>
        <source>Refresh directory contents.</source>
        <translation>Ordnerinhalt aktualisieren.</translation>
    </message>
    <message>
        <source>Transfer files as binary.</source>
        <translation>Dateien binär übertragen.</translation>
    </message>
    <message>
        <source>Transfer files as text (ascii).</source>
        <translation>Dateien als Text (ASCII) übertragen.</translation>
    </message>
    <message>
        <source>Automatic selection (Binary/Ascii) to tansfer files.</source>
        <translation>Übertragungsart (binär/ASCII) automatisch wählen.</translation>
    </message>
    <message>
        <source>Need a Place to Host your Website?</source>
        <translation>Suchen Sie einen Platz für Ihre Website?</translation>
    </message>
    <message>
        <source>Want to Sell Your Stuff on the Web ?</source>
        <translation>Möchten Sie Ihre Waren im Web verkaufen?</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Visit Our WebSite at </source>
        <translation>Besuchen Sie unsere Website: </translation>
    </message>
    <message>
        <source>To Edit HTML on the server, View Images on the Server, and Backup your entire Web Site, Download and Install Kestra FTP.
Get Kestra FTP now at: </source>
        <translation>Um HTML auf dem Server zu bearbeiten, Bilder auf dem Server anzusehen und Ihre ganze Website zu sichern, laden und installieren Sie Kestra FTP.
Kestra FTP gibt es hier: </translation>
    </message>
</context>
</TS>

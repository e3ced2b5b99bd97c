<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>TFolderCompare</name>
    <message>
        <source>newer here</source>
        <translation>hier neuer</translation>
    </message>
    <message>
        <source>only here</source>
        <translation>nur hier</translation>
    </message>
    <message>
        <source>size differs</source>
        <translation>Größe verschieden</translation>
    </message>
    <message>
        <source>same</source>
        <translation>gleich</translation>
    </message>
    <message>
        <source>Compare:</source>
        <translation>Vergleich:</translation>
    </message>
</context>
<context>
    <name>TFtpLink</name>
    <message>
        <source>Not an ftp:// or ftps:// link: %1</source>
        <translation>Kein ftp://- oder ftps://-Link: %1</translation>
    </message>
</context>
<context>
    <name>TLocalFileList</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
</context>
<context>
    <name>TLocalPane</name>
    <message>
        <source>Web files</source>
        <translation>Web-Dateien</translation>
    </message>
    <message>
        <source>HTML files</source>
        <translation>HTML-Dateien</translation>
    </message>
    <message>
        <source>Text files</source>
        <translation>Textdateien</translation>
    </message>
    <message>
        <source>CGI files</source>
        <translation>CGI-Dateien</translation>
    </message>
    <message>
        <source>Images, Sounds and Movies</source>
        <translation>Bilder, Klänge und Filme</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>Local:</source>
        <translation>Lokal:</translation>
    </message>
    <message>
        <source>No such volume: %1</source>
        <translation>Kein solches Laufwerk: %1</translation>
    </message>
    <message>
        <source>Cannot open folder %1</source>
        <translation>Der Ordner %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Create &amp;New folder</source>
        <translation>&amp;Neuen Ordner anlegen</translation>
    </message>
    <message>
        <source>&amp;Rename folder</source>
        <translation>Ordner &amp;umbenennen</translation>
    </message>
    <message>
        <source>&amp;Delete folder</source>
        <translation>Ordner &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Rename file</source>
        <translation>Datei &amp;umbenennen</translation>
    </message>
    <message>
        <source>&amp;Delete file</source>
        <translation>Datei &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Upload file to FTP Server</source>
        <translation>Datei auf den FTP-Server &amp;hochladen</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Eigenschaften</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Neuen Ordner anlegen</translation>
    </message>
    <message>
        <source>Current Folder:</source>
        <translation>Aktueller Ordner:</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Anlegen</translation>
    </message>
    <message>
        <source>New Folder name:</source>
        <translation>Name des neuen Ordners:</translation>
    </message>
    <message>
        <source>Unable to create the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Rename a folder</source>
        <translation>Ordner umbenennen</translation>
    </message>
    <message>
        <source>Original folder name:</source>
        <translation>Bisheriger Ordnername:</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Unable to rename %1 to %2: %3</source>
        <translation>%1 kann nicht in %2 umbenannt werden: %3</translation>
    </message>
    <message>
        <source>Delete a folder</source>
        <translation>Ordner löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this folder:</source>
        <translation>Möchten Sie diesen Ordner wirklich löschen:</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>&quot;%1&quot;
cannot be moved to the trash. Delete it permanently?</source>
        <translation>„%1“
kann nicht in den Papierkorb verschoben werden. Endgültig löschen?</translation>
    </message>
    <message>
        <source>Unable to delete %1</source>
        <translation>%1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Unable to delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Rename a file</source>
        <translation>Datei umbenennen</translation>
    </message>
    <message>
        <source>Original file name:</source>
        <translation>Bisheriger Dateiname:</translation>
    </message>
    <message>
        <source>New file name:</source>
        <translation>Neuer Dateiname:</translation>
    </message>
    <message>
        <source>File: &quot;%1&quot;
already exists. Rename aborted.</source>
        <translation>Datei „%1“
gibt es schon. Umbenennen abgebrochen.</translation>
    </message>
    <message>
        <source>Delete a file</source>
        <translation>Datei löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this file:</source>
        <translation>Möchten Sie diese Datei wirklich löschen:</translation>
    </message>
    <message>
        <source>Are you sure you want to upload this file ?</source>
        <translation>Möchten Sie diese Datei wirklich hochladen?</translation>
    </message>
    <message>
        <source>Are you sure you want to upload these files ?</source>
        <translation>Möchten Sie diese Dateien wirklich hochladen?</translation>
    </message>
    <message>
        <source>&amp;Upload folder</source>
        <translation>Ordner &amp;hochladen</translation>
    </message>
</context>
<context>
    <name>TLogView</name>
    <message>
        <source>Debug:      </source>
        <translation>Debug:      </translation>
    </message>
    <message>
        <source>Status:     </source>
        <translation>Status:     </translation>
    </message>
    <message>
        <source>Command:    </source>
        <translation>Befehl:     </translation>
    </message>
</context>
<context>
    <name>TRemoteFileEditor</name>
    <message>
        <source>&quot;%1&quot; cannot be edited: the name is not usable for a local file.</source>
        <translation>&quot;%1&quot; kann nicht bearbeitet werden: Der Name taugt nicht für eine lokale Datei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be edited: no private folder for the copy.</source>
        <translation>&quot;%1&quot; kann nicht bearbeitet werden: Es gibt keinen privaten Ordner für die Kopie.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was not downloaded: %2</source>
        <translation>&quot;%1&quot; wurde nicht heruntergeladen: %2</translation>
    </message>
    <message>
        <source>The editor &quot;%1&quot; could not be started.</source>
        <translation>Der Editor &quot;%1&quot; konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has been saved. Upload it to the server?</source>
        <translation>&quot;%1&quot; wurde gespeichert. Auf den Server hochladen?</translation>
    </message>
    <message>
        <source>Always upload this file when it is saved</source>
        <translation>Diese Datei nach dem Speichern immer hochladen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was not uploaded: %2</source>
        <translation>&quot;%1&quot; wurde nicht hochgeladen: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has changed on the server since it was last transferred. Replace it with your edited copy?</source>
        <translation>&quot;%1&quot; wurde auf dem Server geändert, seit es zuletzt übertragen wurde. Durch Ihre bearbeitete Kopie ersetzen?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer on the server. Upload your edited copy?</source>
        <translation>&quot;%1&quot; ist nicht mehr auf dem Server. Ihre bearbeitete Kopie hochladen?</translation>
    </message>
    <message>
        <source>These edited files were saved but not uploaded:

%1

Upload them now?</source>
        <translation>Diese bearbeiteten Dateien wurden gespeichert, aber nicht hochgeladen:

%1

Jetzt hochladen?</translation>
    </message>
    <message>
        <source>No application is set up to open &quot;%1&quot;. Choose an editor in the Options.</source>
        <translation>Kein Programm ist zum Öffnen von &quot;%1&quot; eingerichtet. Wählen Sie einen Editor in den Optionen.</translation>
    </message>
</context>
<context>
    <name>TRemoteFileModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Permission</source>
        <translation>Rechte</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Besitzer</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Last modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verknüpfung</translation>
    </message>
    <message>
        <source>Link to </source>
        <translation>Verknüpfung auf </translation>
    </message>
</context>
<context>
    <name>TRemotePane</name>
    <message>
        <source>Down&amp;load to local dir</source>
        <translation>In den lokalen Ordner &amp;herunterladen</translation>
    </message>
    <message>
        <source>Download &amp;as ...</source>
        <translation>Herunterladen &amp;als ...</translation>
    </message>
    <message>
        <source>Create &amp;new folder</source>
        <translation>&amp;Neuen Ordner anlegen</translation>
    </message>
    <message>
        <source>Re&amp;name</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Change permissions</source>
        <translation>&amp;Rechte ändern</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>View as large icons</source>
        <translation>Große Symbole</translation>
    </message>
    <message>
        <source>View as small icons</source>
        <translation>Kleine Symbole</translation>
    </message>
    <message>
        <source>View as list</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>View details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Eigenschaften</translation>
    </message>
    <message>
        <source>Are you sure you want to download this file ?</source>
        <translation>Möchten Sie diese Datei wirklich herunterladen?</translation>
    </message>
    <message>
        <source>Are you sure you want to download these files ?</source>
        <translation>Möchten Sie diese Dateien wirklich herunterladen?</translation>
    </message>
    <message>
        <source>this folder</source>
        <translation>diesen Ordner</translation>
    </message>
    <message>
        <source>this file</source>
        <translation>diese Datei</translation>
    </message>
    <message>
        <source>these %1 folders</source>
        <translation>diese %1 Ordner</translation>
    </message>
    <message>
        <source>these %1 files</source>
        <translation>diese %1 Dateien</translation>
    </message>
    <message>
        <source>these %1 entries</source>
        <translation>diese %1 Einträge</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 ?</source>
        <translation>Möchten Sie %1 wirklich löschen?</translation>
    </message>
    <message>
        <source>Make New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Current working directory:</source>
        <translation>Aktueller Ordner auf dem Server:</translation>
    </message>
    <message>
        <source>Create new folder with name:</source>
        <translation>Neuen Ordner anlegen mit dem Namen:</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Anlegen</translation>
    </message>
    <message>
        <source>Skipped &quot;%1&quot;: the name would leave the folder it is downloaded to</source>
        <translation>„%1“ übersprungen: der Name führt aus dem Zielordner heraus</translation>
    </message>
    <message>
        <source>Choose destination for this directory</source>
        <translation>Ziel für diesen Ordner wählen</translation>
    </message>
    <message>
        <source>Choose filename to save as...</source>
        <translation>Dateinamen zum Speichern wählen ...</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Nothing was deleted: no second connection to the server (%1)</source>
        <translation>Nichts wurde gelöscht: keine zweite Verbindung zum Server (%1)</translation>
    </message>
    <message>
        <source>Nothing was deleted: %1</source>
        <translation>Nichts wurde gelöscht: %1</translation>
    </message>
    <message>
        <source>%1 and %2 will be deleted.</source>
        <translation>%1 und %2 werden gelöscht.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>%1 not deleted:</source>
        <translation>%1 nicht gelöscht:</translation>
    </message>
    <message>
        <source>entry was</source>
        <translation>Eintrag wurde</translation>
    </message>
    <message>
        <source>entries were</source>
        <translation>Einträge wurden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be read: nothing was uploaded.</source>
        <translation>&quot;%1&quot; kann nicht gelesen werden: nichts wurde hochgeladen.</translation>
    </message>
    <message>
        <source>Nothing was uploaded: no second connection to the server (%1)</source>
        <translation>Nichts wurde hochgeladen: keine zweite Verbindung zum Server (%1)</translation>
    </message>
    <message>
        <source>Nothing was uploaded: %1</source>
        <translation>Nichts wurde hochgeladen: %1</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be read: nothing was synchronised.</source>
        <translation>„%1“ kann nicht gelesen werden: nichts wurde abgeglichen.</translation>
    </message>
    <message>
        <source>Nothing was synchronised: no second connection to the server (%1)</source>
        <translation>Nichts wurde abgeglichen: keine zweite Verbindung zum Server (%1)</translation>
    </message>
    <message>
        <source>Nothing was synchronised: %1</source>
        <translation>Nichts wurde abgeglichen: %1</translation>
    </message>
    <message>
        <source>%1 not transferred again:</source>
        <translation>%1 auch beim zweiten Versuch nicht übertragen:</translation>
    </message>
    <message>
        <source>%1 not downloaded:</source>
        <translation>%1 nicht heruntergeladen:</translation>
    </message>
    <message>
        <source>Nothing was downloaded: no second connection to the server (%1)</source>
        <translation>Nichts wurde heruntergeladen: keine zweite Verbindung zum Server (%1)</translation>
    </message>
    <message>
        <source>Nothing was downloaded: %1</source>
        <translation>Nichts wurde heruntergeladen: %1</translation>
    </message>
    <message>
        <source>%1 not uploaded:</source>
        <translation>%1 nicht hochgeladen:</translation>
    </message>
    <message>
        <source>%1 not synchronised:</source>
        <translation>%1 nicht abgeglichen:</translation>
    </message>
</context>
<context>
    <name>TServerInfoPanel</name>
    <message>
        <source>FTP Server Information:</source>
        <translation>Angaben zum FTP-Server:</translation>
    </message>
    <message>
        <source>Hostname/Address and port:</source>
        <translation>Rechnername/Adresse und Port:</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Local Starting Directory:</source>
        <translation>Lokaler Startordner:</translation>
    </message>
    <message>
        <source>Local starting Directory:</source>
        <translation>Lokaler Startordner:</translation>
    </message>
    <message>
        <source>Remote Starting Directory:</source>
        <translation>Startordner auf dem Server:</translation>
    </message>
    <message>
        <source>Remote starting Directory:</source>
        <translation>Startordner auf dem Server:</translation>
    </message>
    <message>
        <source>%1 on port %2</source>
        <translation>%1 an Port %2</translation>
    </message>
    <message>
        <source>(multiple sites selected)</source>
        <translation>(mehrere Server ausgewählt)</translation>
    </message>
</context>
<context>
    <name>TServerListDialog</name>
    <message>
        <source>Connect To a FTP Server</source>
        <translation>Mit einem FTP-Server verbinden</translation>
    </message>
    <message>
        <source>Choose which FTP server to connect to:</source>
        <translation>Mit welchem FTP-Server verbinden?</translation>
    </message>
    <message>
        <source>&amp;Add Server</source>
        <translation>Server &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit Server</source>
        <translation>Server &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Cool</source>
        <translation>&amp;Klasse</translation>
    </message>
    <message>
        <source>&amp;No Way !</source>
        <translation>&amp;Bloß nicht!</translation>
    </message>
    <message>
        <source> Edit a FTP Server</source>
        <translation> FTP-Server bearbeiten</translation>
    </message>
    <message>
        <source>Double-Click an FTP Server to Edit:</source>
        <translation>Doppelklick auf einen FTP-Server bearbeitet ihn:</translation>
    </message>
    <message>
        <source>&amp;Finish</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source> Remove a FTP Server</source>
        <translation> FTP-Server entfernen</translation>
    </message>
    <message>
        <source>Choose which FTP server to remove:</source>
        <translation>Welchen FTP-Server entfernen?</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
</context>
<context>
    <name>TSessionController</name>
    <message>
        <source>Request not queued: %1</source>
        <translation>Auftrag nicht eingereiht: %1</translation>
    </message>
    <message>
        <source>Listing not queued: %1</source>
        <translation>Auflistung nicht eingereiht: %1</translation>
    </message>
    <message>
        <source>Connection not completed: %1</source>
        <translation>Verbindung nicht hergestellt: %1</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Looking up hostname &quot;%1&quot; ...</source>
        <translation>Rechnername „%1“ wird nachgeschlagen ...</translation>
    </message>
    <message>
        <source>Connected !</source>
        <translation>Verbunden!</translation>
    </message>
    <message>
        <source>Aborting...</source>
        <translation>Wird abgebrochen ...</translation>
    </message>
    <message>
        <source>Trying to connect to %1 ...</source>
        <translation>Verbindung mit %1 wird aufgebaut ...</translation>
    </message>
    <message>
        <source>Waiting for response...</source>
        <translation>Warte auf Antwort ...</translation>
    </message>
    <message>
        <source>The certificate could not be remembered: it is trusted for this connection only</source>
        <translation>Das Zertifikat konnte nicht gespeichert werden: es gilt nur für diese Verbindung als vertrauenswürdig</translation>
    </message>
    <message>
        <source>Ready to transmit</source>
        <translation>Bereit zur Übertragung</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Unable to connect to &quot;%1&quot; :<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Keine Verbindung mit „%1“ möglich:<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Encrypted (TLS): log-in, commands and files</source>
        <translation>Verschlüsselt (TLS): Anmeldung, Befehle und Dateien</translation>
    </message>
    <message>
        <source>Encrypted (TLS): log-in and commands; files in clear</source>
        <translation>Verschlüsselt (TLS): Anmeldung und Befehle; Dateien unverschlüsselt</translation>
    </message>
    <message>
        <source>Not connected.</source>
        <translation>Nicht verbunden.</translation>
    </message>
    <message>
        <source>Connected. (%1)</source>
        <translation>Verbunden. (%1)</translation>
    </message>
    <message>
        <source>The server&apos;s time of the file could not be kept</source>
        <translation>Die Zeit der Datei auf dem Server konnte nicht übernommen werden</translation>
    </message>
    <message>
        <source>The file&apos;s time could not be set on the server</source>
        <translation>Die Zeit der Datei konnte auf dem Server nicht gesetzt werden</translation>
    </message>
    <message>
        <source>The server closed the connection; the next command reconnects</source>
        <translation>Der Server hat die Verbindung geschlossen; der nächste Befehl verbindet neu</translation>
    </message>
    <message>
        <source>The transfer may have partly run: it is not repeated</source>
        <translation>Die Übertragung ist womöglich teilweise gelaufen: sie wird nicht wiederholt</translation>
    </message>
    <message>
        <source>Running the command again</source>
        <translation>Der Befehl wird erneut ausgeführt</translation>
    </message>
    <message>
        <source>Reconnecting to %1 ...</source>
        <translation>Neu verbinden mit %1 ...</translation>
    </message>
    <message>
        <source>Returning to the folder &quot;%1&quot;</source>
        <translation>Zurück in den Ordner &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>TSettingsKey</name>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>„%1“ konnte nicht gespeichert werden</translation>
    </message>
</context>
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
    <name>TTransferListView</name>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>done</source>
        <translation>fertig</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>übersprungen</translation>
    </message>
    <message>
        <source>make folder</source>
        <translation>Ordner anlegen</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>löschen</translation>
    </message>
    <message>
        <source>upload</source>
        <translation>hochladen</translation>
    </message>
    <message>
        <source>download</source>
        <translation>herunterladen</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>Lokal</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Retry &amp;failed</source>
        <translation>&amp;Fehlgeschlagene wiederholen</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Clear finished</source>
        <translation>&amp;Fertige entfernen</translation>
    </message>
    <message>
        <source>Rate</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>%1/sec</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <source>Stop every transfer that waits or runs.</source>
        <translation>Alle wartenden und laufenden Übertragungen anhalten.</translation>
    </message>
</context>
<context>
    <name>TWindowQueue</name>
    <message>
        <source>%1 of %2 files</source>
        <translation>%1 von %2 Dateien</translation>
    </message>
    <message>
        <source>%1, %2 of %3</source>
        <translation>%1, %2 von %3</translation>
    </message>
    <message>
        <source>Transfers stopped by the user</source>
        <translation>Übertragungen vom Benutzer angehalten</translation>
    </message>
    <message>
        <source>stopped by the user</source>
        <translation>vom Benutzer angehalten</translation>
    </message>
    <message>
        <source>%1, %2% - %3</source>
        <translation>%1, %2% - %3</translation>
    </message>
</context>
<context>
    <name>TfrmAbout</name>
    <message>
        <source>About Quillford Velliant FTP</source>
        <translation>Über Quillford Velliant FTP</translation>
    </message>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>Double-click to visit</source>
        <translation>Doppelklick öffnet die Seite</translation>
    </message>
    <message>
        <source>Developed by the Velliant team:</source>
        <translation>Entwickelt vom Velliant-Team:</translation>
    </message>
    <message>
        <source>This program is provided as is, without warranty of any kind. Use it at your own risk.</source>
        <translation>Dieses Programm wird so bereitgestellt, wie es ist, ohne jede Gewährleistung. Die Benutzung geschieht auf eigene Gefahr.</translation>
    </message>
    <message>
        <source>&amp;Cool !</source>
        <translation>&amp;Klasse!</translation>
    </message>
</context>
<context>
    <name>TfrmCertificate</name>
    <message>
        <source>Trust &amp;always</source>
        <translation>&amp;Immer vertrauen</translation>
    </message>
    <message>
        <source>Trust this &amp;once</source>
        <translation>&amp;Diesmal vertrauen</translation>
    </message>
    <message>
        <source>&amp;Refuse</source>
        <translation>&amp;Ablehnen</translation>
    </message>
    <message>
        <source>it is not the one you trusted</source>
        <translation>es ist nicht das, dem Sie vertraut haben</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 has CHANGED since you chose to trust it. Someone may be pretending to be this server. Refuse it unless you know that the server got a new certificate.</source>
        <translation>WARNUNG: Das Zertifikat von %1 hat sich GEÄNDERT, seit Sie ihm vertraut haben. Vielleicht gibt sich jemand als dieser Server aus. Lehnen Sie es ab, wenn Sie nicht wissen, dass der Server ein neues Zertifikat bekommen hat.</translation>
    </message>
    <message>
        <source>The certificate of %1 cannot be verified: %2.</source>
        <translation>Das Zertifikat von %1 kann nicht geprüft werden: %2.</translation>
    </message>
    <message>
        <source>Reason:	%1
Subject:	%2
Issuer:	%3
Valid:	%4 to %5
SHA-256:	%6</source>
        <translation>Grund:	%1
Inhaber:	%2
Aussteller:	%3
Gültig:	%4 bis %5
SHA-256:	%6</translation>
    </message>
</context>
<context>
    <name>TfrmChMod</name>
    <message>
        <source>Change File Permissions</source>
        <translation>Dateirechte ändern</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Besitzer</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>World</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Ausführen</translation>
    </message>
    <message>
        <source>Note: Not all servers support this command.</source>
        <translation>Hinweis: Nicht alle Server unterstützen diesen Befehl.</translation>
    </message>
    <message>
        <source>&amp;Cool</source>
        <translation>&amp;Klasse</translation>
    </message>
    <message>
        <source>&amp;No Way</source>
        <translation>&amp;Bloß nicht</translation>
    </message>
</context>
<context>
    <name>TfrmDownload</name>
    <message>
        <source>Uploading ...</source>
        <translation>Hochladen ...</translation>
    </message>
    <message>
        <source>Downloading ...</source>
        <translation>Herunterladen ...</translation>
    </message>
    <message>
        <source> is now downloading the file ...</source>
        <translation> lädt jetzt die Datei herunter ...</translation>
    </message>
    <message>
        <source> is now uploading the file ...</source>
        <translation> lädt jetzt die Datei hoch ...</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Filename:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Total Size:</source>
        <translation>Gesamtgröße:</translation>
    </message>
    <message>
        <source>Sent:</source>
        <translation>Gesendet:</translation>
    </message>
    <message>
        <source>Received:</source>
        <translation>Empfangen:</translation>
    </message>
    <message>
        <source>Transfer Rate:</source>
        <translation>Übertragungsrate:</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>Fortschritt:</translation>
    </message>
    <message>
        <source>Est.Time:</source>
        <translation>Gesamtzeit:</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Vergangen:</translation>
    </message>
    <message>
        <source>Rem.Time:</source>
        <translation>Restzeit:</translation>
    </message>
    <message>
        <source>%1/sec</source>
        <translation>%1/s</translation>
    </message>
</context>
<context>
    <name>TfrmFileProperties</name>
    <message>
        <source>n/a</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Read-Only </source>
        <translation>Schreibgeschützt </translation>
    </message>
    <message>
        <source>Hidden </source>
        <translation>Versteckt </translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Rechte:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Geändert:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Besitzer:</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Gruppe:</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Attributes:</source>
        <translation>Attribute:</translation>
    </message>
</context>
<context>
    <name>TfrmFolder</name>
    <message>
        <source>Create a new folder</source>
        <translation>Neuen Ordner anlegen</translation>
    </message>
    <message>
        <source>Current Folder:</source>
        <translation>Aktueller Ordner:</translation>
    </message>
    <message>
        <source>New Folder name:</source>
        <translation>Name des neuen Ordners:</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Anlegen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
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
    <message>
        <source>The folder %1 cannot be reached: %2.</source>
        <translation>Der Ordner %1 ist nicht erreichbar: %2.</translation>
    </message>
    <message>
        <source>A file stands where the folder %1 should be.</source>
        <translation>Wo der Ordner %1 sein sollte, steht eine Datei.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be written: %2.</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>A desktop keyring is running. Keep the passwords of your FTP servers there instead of in the profile file?

Options can change this later.</source>
        <translation>Ein Schlüsselbund der Arbeitsumgebung läuft. Sollen die Passwörter Ihrer FTP-Server dort statt in der Profildatei aufbewahrt werden?

In den Optionen lässt sich das später ändern.</translation>
    </message>
    <message>
        <source>Server passwords are kept in the profile file now.</source>
        <translation>Die Server-Passwörter stehen jetzt in der Profildatei.</translation>
    </message>
    <message>
        <source>The desktop keyring cannot be used (%1): server passwords stay in the profile file.</source>
        <translation>Der Schlüsselbund kann nicht benutzt werden (%1): die Server-Passwörter bleiben in der Profildatei.</translation>
    </message>
    <message>
        <source>Server passwords are kept in the desktop keyring now; the profile file holds none.</source>
        <translation>Die Server-Passwörter liegen jetzt im Schlüsselbund; die Profildatei enthält keine.</translation>
    </message>
    <message>
        <source>Password for %1:</source>
        <translation>Passwort für %1:</translation>
    </message>
    <message>
        <source>Save %1 as a server profile?</source>
        <translation>%1 als Serverprofil speichern?</translation>
    </message>
    <message>
        <source>Please go to : 
</source>
        <translation>Bitte besuchen Sie:
</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Den Ordner %1 gibt es nicht.</translation>
    </message>
    <message>
        <source>A folder of that name is in the way.</source>
        <translation>Ein Ordner dieses Namens steht im Weg.</translation>
    </message>
    <message>
        <source>The file cannot be written: %1.</source>
        <translation>Die Datei kann nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>Unexpected error while starting.</source>
        <translation>Unerwarteter Fehler beim Start.</translation>
    </message>
    <message>
        <source>Changes made to the server list in this session are lost.</source>
        <translation>Die Änderungen an der Serverliste aus dieser Sitzung gehen verloren.</translation>
    </message>
    <message>
        <source>The change is kept until the program ends; it is saved again then.</source>
        <translation>Die Änderung bleibt bis zum Programmende erhalten; dann wird erneut gespeichert.</translation>
    </message>
    <message>
        <source>The FTP server list could not be saved to
%1

%2

%3</source>
        <translation>Die FTP-Serverliste konnte nicht gespeichert werden in
%1

%2

%3</translation>
    </message>
    <message>
        <source>It cannot be created.</source>
        <translation>Er kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The program&apos;s data folder cannot be used:
%1

%2

Server profiles are kept until the program ends, but cannot be saved.</source>
        <translation>Der Datenordner des Programms kann nicht benutzt werden:
%1

%2

Serverprofile bleiben bis zum Programmende erhalten, können aber nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Übertragungen</translation>
    </message>
    <message>
        <source>Transfers are still waiting or running. Abandon them and close?</source>
        <translation>Es warten oder laufen noch Übertragungen. Abbrechen und schließen?</translation>
    </message>
    <message>
        <source>&amp;Compare folders</source>
        <translation>Ordner &amp;vergleichen</translation>
    </message>
    <message>
        <source>Colour both lists by how their files differ.</source>
        <translation>Beide Listen danach einfärben, wie sich ihre Dateien unterscheiden.</translation>
    </message>
    <message>
        <source>S&amp;ynchronise folders ...</source>
        <translation>Ordner &amp;abgleichen ...</translation>
    </message>
    <message>
        <source>Make the server&apos;s folder like the local one, or the other way round.</source>
        <translation>Den Ordner auf dem Server dem lokalen angleichen oder umgekehrt.</translation>
    </message>
    <message>
        <source>Compare the local and the server&apos;s folder.</source>
        <translation>Den lokalen Ordner mit dem auf dem Server vergleichen.</translation>
    </message>
</context>
<context>
    <name>TfrmMessage</name>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TfrmOptions</name>
    <message>
        <source>This extension is not a Ascii Text type.</source>
        <translation>Diese Endung ist kein ASCII-Texttyp.</translation>
    </message>
    <message>
        <source>Enter new text extension:</source>
        <translation>Neue Textendung eingeben:</translation>
    </message>
    <message>
        <source>Wave files (*.wav)</source>
        <translation>Wave-Dateien (*.wav)</translation>
    </message>
    <message>
        <source>Choose Wave file to play when download finishes</source>
        <translation>Wave-Datei für das Ende des Herunterladens wählen</translation>
    </message>
    <message>
        <source>Choose Wave file to play when upload finishes</source>
        <translation>Wave-Datei für das Ende des Hochladens wählen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Transferring files</source>
        <translation>Dateiübertragung</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Show Web Hosting and Secure button on Kestra FTP toolbar.</source>
        <translation>Knöpfe für Webhosting und Sicherheit in der Kestra-FTP-Werkzeugleiste zeigen.</translation>
    </message>
    <message>
        <source>Play a sound when download is finished:</source>
        <translation>Klang nach dem Herunterladen:</translation>
    </message>
    <message>
        <source>Play a sound when upload is finished:</source>
        <translation>Klang nach dem Hochladen:</translation>
    </message>
    <message>
        <source>Text Files Types:</source>
        <translation>Textdateitypen:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Extensions that appear in the &quot;Text File Types&quot; list will be transferred as ASCII (Text) files, while all other file types will be transferred as BINARY files. Uploading a binary file such as an AVI file as text will lead to a bad transfer.</source>
        <translation>Dateien mit Endungen aus der Liste „Textdateitypen“ werden als ASCII (Text) übertragen, alle anderen als BINÄR. Wer eine Binärdatei, etwa ein AVI-Video, als Text hochlädt, bekommt eine beschädigte Übertragung.</translation>
    </message>
    <message>
        <source>Time-out (seconds):</source>
        <translation>Zeitlimit (Sekunden):</translation>
    </message>
    <message>
        <source>Auto-refresh directories on upload/download</source>
        <translation>Ordner nach dem Hoch- und Herunterladen neu einlesen</translation>
    </message>
    <message>
        <source>Keep server passwords in the desktop keyring</source>
        <translation>Server-Passwörter im Schlüsselbund der Arbeitsumgebung aufbewahren</translation>
    </message>
    <message>
        <source>Keep file times</source>
        <translation>Dateizeiten beibehalten</translation>
    </message>
    <message>
        <source>Keep-alive interval (seconds, 0 = off):</source>
        <translation>Verbindung halten alle (Sekunden, 0 = aus):</translation>
    </message>
    <message>
        <source>When a file exists:</source>
        <translation>Wenn eine Datei existiert:</translation>
    </message>
    <message>
        <source>Ask</source>
        <translation>Fragen</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Overwrite if newer</source>
        <translation>Überschreiben, wenn neuer</translation>
    </message>
    <message>
        <source>Overwrite if the size differs</source>
        <translation>Überschreiben, wenn die Größe abweicht</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Simultaneous transfers:</source>
        <translation>Gleichzeitige Übertragungen:</translation>
    </message>
    <message>
        <source>Editor for server files (empty: the desktop&apos;s choice):</source>
        <translation>Editor für Serverdateien (leer: die Wahl des Desktops):</translation>
    </message>
</context>
<context>
    <name>TfrmOverResume</name>
    <message>
        <source>&amp;Overwrite</source>
        <translation>&amp;Überschreiben</translation>
    </message>
    <message>
        <source>&amp;Resume</source>
        <translation>&amp;Fortsetzen</translation>
    </message>
    <message>
        <source>&quot;%1&quot;
already exists. Overwrite ?</source>
        <translation>„%1“
gibt es schon. Überschreiben?</translation>
    </message>
    <message>
        <source>Overwrite if &amp;newer</source>
        <translation>Überschreiben, wenn &amp;neuer</translation>
    </message>
    <message>
        <source>Overwrite if si&amp;ze differs</source>
        <translation>Überschreiben, wenn &amp;Größe abweicht</translation>
    </message>
    <message>
        <source>Re&amp;name</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>Send the file under a free name, such as &quot;name (1).ext&quot;.</source>
        <translation>Die Datei unter einem freien Namen senden, etwa &quot;name (1).ext&quot;.</translation>
    </message>
    <message>
        <source>&amp;Skip</source>
        <translation>Übers&amp;pringen</translation>
    </message>
    <message>
        <source>&amp;Do this for the rest of this transfer</source>
        <translation>&amp;Dies für den Rest dieser Übertragung tun</translation>
    </message>
    <message>
        <source>Text transfers cannot resume: send the file again.</source>
        <translation>Textübertragungen können nicht fortgesetzt werden: die Datei erneut senden.</translation>
    </message>
</context>
<context>
    <name>TfrmServerAdd</name>
    <message>
        <source> Add a new FTP Server</source>
        <translation> Neuen FTP-Server hinzufügen</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Hostname/Address:</source>
        <translation>Rechnername/Adresse:</translation>
    </message>
    <message>
        <source>Port: (default is 21)</source>
        <translation>Port: (üblich ist 21)</translation>
    </message>
    <message>
        <source>Anonymous</source>
        <translation>Anonym</translation>
    </message>
    <message>
        <source>E-Mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Requires username and password</source>
        <translation>Braucht Benutzername und Passwort</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Local starting directory:</source>
        <translation>Lokaler Startordner:</translation>
    </message>
    <message>
        <source>Remote starting directory:</source>
        <translation>Startordner auf dem Server:</translation>
    </message>
    <message>
        <source>Use Firewall Friendly operation (Passive Mode)</source>
        <translation>Firewall-freundlich arbeiten (passiver Modus)</translation>
    </message>
    <message>
        <source>Encryption (FTP over TLS):</source>
        <translation>Verschlüsselung (FTP über TLS):</translation>
    </message>
    <message>
        <source>None (plain FTP)</source>
        <translation>Keine (einfaches FTP)</translation>
    </message>
    <message>
        <source>Explicit TLS if the server offers it</source>
        <translation>Explizites TLS, wenn der Server es anbietet</translation>
    </message>
    <message>
        <source>Explicit TLS, required</source>
        <translation>Explizites TLS, erforderlich</translation>
    </message>
    <message>
        <source>Implicit TLS (port 990)</source>
        <translation>Implizites TLS (Port 990)</translation>
    </message>
    <message>
        <source>&amp;Cool</source>
        <translation>&amp;Klasse</translation>
    </message>
    <message>
        <source>&amp;No Way !</source>
        <translation>&amp;Bloß nicht!</translation>
    </message>
    <message>
        <source>You must enter a name for this FTP Server</source>
        <translation>Bitte geben Sie diesem FTP-Server einen Namen</translation>
    </message>
    <message>
        <source>Another FTP Server is already named %1</source>
        <translation>Ein anderer FTP-Server heißt schon %1</translation>
    </message>
    <message>
        <source>SOCKS 5 proxy (optional):</source>
        <translation>SOCKS-5-Proxy (optional):</translation>
    </message>
    <message>
        <source>Proxy port:</source>
        <translation>Proxy-Port:</translation>
    </message>
    <message>
        <source>Proxy username:</source>
        <translation>Proxy-Benutzername:</translation>
    </message>
    <message>
        <source>Proxy password:</source>
        <translation>Proxy-Passwort:</translation>
    </message>
</context>
<context>
    <name>TfrmServerConnect</name>
    <message>
        <source>Connect to FTP server</source>
        <translation>Mit FTP-Server verbinden</translation>
    </message>
    <message>
        <source>Connecting to:</source>
        <translation>Verbindung mit:</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>%1 on port %2</source>
        <translation>%1 an Port %2</translation>
    </message>
</context>
<context>
    <name>TfrmServerEdit</name>
    <message>
        <source>Edit a FTP Server</source>
        <translation>FTP-Server bearbeiten</translation>
    </message>
</context>
<context>
    <name>TfrmServerRemove</name>
    <message>
        <source>Is it ok to delete this FTP server</source>
        <translation>Diesen FTP-Server wirklich löschen?</translation>
    </message>
    <message>
        <source>Is it ok to delete these %1 FTP servers</source>
        <translation>Diese %1 FTP-Server wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>TfrmSyncPlan</name>
    <message>
        <source>Upload</source>
        <translation>Hochladen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Make folder</source>
        <translation>Ordner anlegen</translation>
    </message>
    <message>
        <source>Conflict</source>
        <translation>Konflikt</translation>
    </message>
    <message>
        <source>newer</source>
        <translation>neuer</translation>
    </message>
    <message>
        <source>size differs</source>
        <translation>Größe verschieden</translation>
    </message>
    <message>
        <source>time differs</source>
        <translation>Zeit verschieden</translation>
    </message>
    <message>
        <source>not in the target</source>
        <translation>fehlt im Ziel</translation>
    </message>
    <message>
        <source>not in the source</source>
        <translation>fehlt in der Quelle</translation>
    </message>
    <message>
        <source>a folder in the source, a file in the target</source>
        <translation>in der Quelle ein Ordner, im Ziel eine Datei</translation>
    </message>
    <message>
        <source>a file in the source, a folder in the target</source>
        <translation>in der Quelle eine Datei, im Ziel ein Ordner</translation>
    </message>
    <message>
        <source>Synchronisation plan</source>
        <translation>Plan des Abgleichs</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <translation>&amp;Ausführen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>To upload: %1, to download: %2, to delete: %3, folders to make: %4; %5 bytes in all. Unchanged: %6.</source>
        <translation>Hochzuladen: %1, herunterzuladen: %2, zu löschen: %3, anzulegende Ordner: %4; insgesamt %5 Bytes. Unverändert: %6.</translation>
    </message>
    <message>
        <source>Nothing to do: the folders are alike (%1 files unchanged).</source>
        <translation>Nichts zu tun: die Ordner sind gleich (%1 Dateien unverändert).</translation>
    </message>
    <message>
        <source>Conflicts left as they are: %1.</source>
        <translation>Unverändert gelassene Konflikte: %1.</translation>
    </message>
</context>
<context>
    <name>TfrmSynchronise</name>
    <message>
        <source>Synchronise folders</source>
        <translation>Ordner abgleichen</translation>
    </message>
    <message>
        <source>&amp;Upload: make the server&apos;s folder like the local one</source>
        <translation>&amp;Hochladen: den Ordner auf dem Server dem lokalen angleichen</translation>
    </message>
    <message>
        <source>&amp;Download: make the local folder like the server&apos;s</source>
        <translation>&amp;Herunterladen: den lokalen Ordner dem auf dem Server angleichen</translation>
    </message>
    <message>
        <source>D&amp;elete what the other side no longer has</source>
        <translation>&amp;Löschen, was die andere Seite nicht mehr hat</translation>
    </message>
    <message>
        <source>Si&amp;ze and time</source>
        <translation>&amp;Größe und Zeit</translation>
    </message>
    <message>
        <source>Size &amp;only</source>
        <translation>&amp;Nur Größe</translation>
    </message>
    <message>
        <source>&amp;Leave out names like (separated by ;):</source>
        <translation>&amp;Auslassen, was so heißt (durch ; getrennt):</translation>
    </message>
    <message>
        <source>&amp;Compare</source>
        <translation>&amp;Vergleichen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>Files differ by</source>
        <translation>Dateien unterscheiden sich durch</translation>
    </message>
    <message>
        <source>Local folder: %1
Server folder: %2</source>
        <translation>Lokaler Ordner: %1
Ordner auf dem Server: %2</translation>
    </message>
</context>
<context>
    <name>TypeIcons</name>
    <message>
        <source>%1 File</source>
        <translation>%1-Datei</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CommandLineTool</name>
    <message>
        <source>Write to FILE instead of standard output.</source>
        <translation>In FILE statt in die Standardausgabe schreiben.</translation>
    </message>
    <message>
        <source>Print one JSON object instead of &apos;name: value&apos; lines.</source>
        <translation>Ein JSON-Objekt statt Zeilen der Form „name: value“ ausgeben.</translation>
    </message>
    <message>
        <source>Start from this template, which Tessivane saved, instead of the built-in one.</source>
        <translation>Von dieser mit Tessivane gespeicherten Vorlage statt von der eingebauten ausgehen.</translation>
    </message>
    <message>
        <source>The folder description; %THISDIRNAME% and %THISDIRPATH% stand for the folder&apos;s name and path.</source>
        <translation>Die Ordnerbeschreibung; %THISDIRNAME% und %THISDIRPATH% stehen für Name und Pfad des Ordners.</translation>
    </message>
    <message>
        <source>The background image of the left info panel.</source>
        <translation>Das Hintergrundbild der linken Infoleiste.</translation>
    </message>
    <message>
        <source>The line image under the title.</source>
        <translation>Das Linienbild unter dem Titel.</translation>
    </message>
    <message>
        <source>The background sound.</source>
        <translation>Der Hintergrundklang.</translation>
    </message>
    <message>
        <source>Play the sound forever, or N times; a count below 1 becomes 1.</source>
        <translation>Den Klang endlos oder N-mal abspielen; eine Anzahl unter 1 wird zu 1.</translation>
    </message>
    <message>
        <source>The font face of the page&apos;s text.</source>
        <translation>Die Schriftart des Seitentexts.</translation>
    </message>
    <message>
        <source>The text colour: one of the sixteen names of the window&apos;s list.</source>
        <translation>Die Textfarbe: einer der sechzehn (englischen) Namen aus der Liste des Fensters.</translation>
    </message>
    <message>
        <source>The size of the information text in points, 1 to 2160.</source>
        <translation>Die Größe des Infotexts in Punkt, 1 bis 2160.</translation>
    </message>
    <message>
        <source>The size of the title in points, 1 to 2160.</source>
        <translation>Die Größe des Titels in Punkt, 1 bis 2160.</translation>
    </message>
    <message>
        <source>Save over FILE even where an earlier save of it was cut short, and remove the copy of its earlier content that that save left.</source>
        <translation>FILE auch dann überschreiben, wenn ein früheres Speichern dieser Datei abgebrochen wurde, und die Kopie des früheren Inhalts entfernen, die dieses Speichern hinterlassen hat.</translation>
    </message>
    <message>
        <source>The file to write.</source>
        <translation>Die zu schreibende Datei.</translation>
    </message>
    <message>
        <source>The template&apos;s file name in the folder; Folder.htt when not given.</source>
        <translation>Der Dateiname der Vorlage im Ordner; ohne Angabe Folder.htt.</translation>
    </message>
    <message>
        <source>A template that Tessivane saved.</source>
        <translation>Eine mit Tessivane gespeicherte Vorlage.</translation>
    </message>
    <message>
        <source>Write the built-in template to FILE, or to standard output.</source>
        <translation>Die eingebaute Vorlage in FILE oder in die Standardausgabe schreiben.</translation>
    </message>
    <message>
        <source>Print the settings of a template that Tessivane saved, one
&apos;name: value&apos; line each, or one JSON object with --json.</source>
        <translation>Die Einstellungen einer mit Tessivane gespeicherten Vorlage ausgeben,
je eine Zeile „name: value“ oder mit --json ein JSON-Objekt.</translation>
    </message>
    <message>
        <source>The folder that will show it.</source>
        <translation>Der Ordner, der sie anzeigen soll.</translation>
    </message>
    <message>
        <source>A folder that apply used a template for.</source>
        <translation>Ein Ordner, für den apply eine Vorlage verwendet hat.</translation>
    </message>
    <message>
        <source>Take out of FOLDER exactly what apply put in: Desktop.ini&apos;s keys,
the template while it is as written, and the attributes.</source>
        <translation>Genau das aus FOLDER entfernen, was apply hinzugefügt hat: die Einträge
der Desktop.ini, die Vorlage, solange sie unverändert ist, und die Attribute.</translation>
    </message>
    <message>
        <source>warning: the description will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Beschreibung wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the background image will read back as &apos;%1&apos;</source>
        <translation>Warnung: Das Hintergrundbild wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the line image will read back as &apos;%1&apos;</source>
        <translation>Warnung: Das Linienbild wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the sound file will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Klangdatei wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the loop count will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Anzahl der Wiederholungen wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the font will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Schriftart wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the colour will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Farbe wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the information size will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Größe des Infotexts wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the title size will read back as &apos;%1&apos;</source>
        <translation>Warnung: Die Titelgröße wird als „%1“ zurückgelesen</translation>
    </message>
    <message>
        <source>warning: the sound will read back as looping forever</source>
        <translation>Warnung: Der Klang wird beim Zurücklesen endlos wiederholt</translation>
    </message>
    <message>
        <source>warning: the sound will read back as looping %1 times</source>
        <translation>Warnung: Der Klang wird beim Zurücklesen %1-mal wiederholt</translation>
    </message>
    <message>
        <source>write --discard-recovery-copy saves over it and removes the copy</source>
        <translation>write --discard-recovery-copy überschreibt die Datei und entfernt die Kopie</translation>
    </message>
    <message>
        <source>Print this command&apos;s usage and options, and exit.</source>
        <translation>Aufruf und Optionen dieses Befehls ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Usage: %1 [options]%2</source>
        <translation>Aufruf: %1 [Optionen]%2</translation>
    </message>
    <message>
        <source>template takes no file name; use -o FILE</source>
        <translation>template nimmt keinen Dateinamen an; verwenden Sie -o FILE</translation>
    </message>
    <message>
        <source>show needs exactly one FILE</source>
        <translation>show erwartet genau eine Datei (FILE)</translation>
    </message>
    <message>
        <source>write takes its file names through --from and -o</source>
        <translation>write nimmt Dateinamen nur über --from und -o an</translation>
    </message>
    <message>
        <source>write needs -o FILE</source>
        <translation>write erwartet -o FILE</translation>
    </message>
    <message>
        <source>%1 given more than once</source>
        <translation>%1 mehr als einmal angegeben</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8</source>
        <translation>%1 ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>unknown colour &apos;%1&apos;; use one of %2</source>
        <translation>unbekannte Farbe „%1“; verwenden Sie eine von %2</translation>
    </message>
    <message>
        <source>--loop takes &apos;forever&apos; or a number, not &apos;%1&apos;</source>
        <translation>--loop erwartet „forever“ oder eine Zahl, nicht „%1“</translation>
    </message>
    <message>
        <source>%1 takes a number, not &apos;%2&apos;</source>
        <translation>%1 erwartet eine Zahl, nicht „%2“</translation>
    </message>
    <message>
        <source>apply needs a TEMPLATE and a FOLDER</source>
        <translation>apply erwartet eine Vorlage (TEMPLATE) und einen Ordner (FOLDER)</translation>
    </message>
    <message>
        <source>unapply needs exactly one FOLDER</source>
        <translation>unapply erwartet genau einen Ordner (FOLDER)</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>kein Befehl angegeben</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unbekannter Befehl „%1“</translation>
    </message>
    <message>
        <source>could not write to standard output</source>
        <translation>konnte nicht in die Standardausgabe schreiben</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Aufruf:</translation>
    </message>
    <message>
        <source>%1 %2 is corrected to %3</source>
        <translation>%1 %2 wird zu %3 korrigiert</translation>
    </message>
    <message>
        <source>Tessivane writes folder Web View templates (.htt) from its built-in template.</source>
        <translation>Tessivane schreibt Web-Ansicht-Vorlagen für Ordner (.htt) aus seiner eingebauten Vorlage.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Sizes and the loop count are numbers, corrected as in the window: sizes are kept between
1 and 2160 and a loop count below 1 becomes 1, with a note on standard error. They are
stored in plain decimal form, the loop count as a whole number. Colours are the sixteen
names of the window&apos;s list.</source>
        <translation>Größen und die Anzahl der Wiederholungen sind Zahlen, die wie im Fenster korrigiert werden:
Größen bleiben zwischen 1 und 2160, eine Anzahl unter 1 wird zu 1, jeweils mit einem Hinweis
in der Standardfehlerausgabe. Gespeichert werden sie als einfache Dezimalzahlen, die Anzahl
als ganze Zahl. Farben sind die sechzehn (englischen) Namen aus der Liste des Fensters.</translation>
    </message>
    <message>
        <source>Replace a page of Tessivane&apos;s that is already at that name; it is kept in the folder, and unapply brings it back.</source>
        <translation>Eine Seite von Tessivane ersetzen, die bereits unter diesem Namen liegt; sie wird im Ordner aufbewahrt, und unapply holt sie zurück.</translation>
    </message>
    <message>
        <source>apply --replace replaces it and keeps it for unapply</source>
        <translation>apply --replace ersetzt sie und bewahrt sie für unapply auf</translation>
    </message>
    <message>
        <source>a save of &apos;%1&apos; was cut short, so the file may hold part of the new content and part of the old; the file as it was before that save is kept in &apos;%2&apos;, followed by a record of its own: do not copy it back by hand. Opening the file in the Tessivane window offers to restore it; write with --discard-recovery-copy saves over the file and removes the copy.</source>
        <translation>Das Speichern von „%1“ wurde abgebrochen; die Datei kann daher teils den neuen und teils den alten Inhalt enthalten. Die Datei in ihrem Zustand vor diesem Speichern ist in „%2“ aufbewahrt, gefolgt von einem eigenen Prüfeintrag: Kopieren Sie sie nicht von Hand zurück. Wenn Sie die Datei im Tessivane-Fenster öffnen, wird angeboten, sie wiederherzustellen; write mit --discard-recovery-copy überschreibt die Datei und entfernt die Kopie.</translation>
    </message>
    <message>
        <source>Start from the built-in template, or from a template given with
--from, change the settings given, check that the sound, background
and line image files exist as Windows will look for them, and save
the result to FILE. A file in FILE&apos;s folder is named
%THISDIRPATH%\NAME, which Windows finds wherever the folder goes; a
drive or network path (C:\..., \\server\...) is not checked here.</source>
        <translation>Von der eingebauten Vorlage oder einer mit --from angegebenen ausgehen,
die angegebenen Einstellungen ändern, prüfen, ob Klang, Hintergrund-
und Linienbild dort vorhanden sind, wo Windows sie sucht, und das
Ergebnis in FILE speichern. Eine Datei im Ordner von FILE wird
%THISDIRPATH%\NAME genannt, was Windows überall findet, wohin der Ordner
kommt; ein Laufwerks- oder Netzwerkpfad (C:\..., \\server\...) wird hier
nicht geprüft.</translation>
    </message>
    <message>
        <source>The folder&apos;s comment, which Windows shows as its tooltip.</source>
        <translation>Der Kommentar des Ordners, den Windows als Quickinfo zeigt.</translation>
    </message>
    <message>
        <source>The folder&apos;s icon: an .ico file, or a .dll or .exe with the icon&apos;s index.</source>
        <translation>Das Symbol des Ordners: eine .ico-Datei oder eine .dll oder .exe mit der Nummer des Symbols.</translation>
    </message>
    <message>
        <source>The picture behind the folder&apos;s file list.</source>
        <translation>Das Bild hinter der Dateiliste des Ordners.</translation>
    </message>
    <message>
        <source>The colour of the file names in the list: one of the sixteen names, or #RRGGBB.</source>
        <translation>Die Farbe der Dateinamen in der Liste: einer der sechzehn Namen oder #RRGGBB.</translation>
    </message>
    <message>
        <source>Use a template that Tessivane saved for FOLDER: check that its
sound, background and line image files exist, copy those that lie
outside FOLDER into it, write the template there as Folder.htt
naming them as Windows finds them, make the folder&apos;s Desktop.ini
show it, and mark the folder read-only and the files hidden and
system where the volume keeps Windows attributes. All of it is
done, or none. --comment, --icon and the list&apos;s picture and colour
give the folder its look too; without TEMPLATE, only those.</source>
        <translation>Eine mit Tessivane gespeicherte Vorlage für FOLDER verwenden: prüfen,
ob Klang, Hintergrund- und Linienbild vorhanden sind, die außerhalb
von FOLDER liegenden hineinkopieren, die Vorlage dort als Folder.htt
schreiben, die sie so nennt, wie Windows sie findet, die Desktop.ini
des Ordners auf sie verweisen lassen und den Ordner als schreibgeschützt,
die Dateien als versteckte Systemdateien markieren, wo der Datenträger
Windows-Attribute speichert. Es geschieht alles oder nichts. --comment,
--icon sowie Bild und Farbe der Liste geben dem Ordner auch sein Aussehen;
ohne TEMPLATE nur diese.</translation>
    </message>
    <message>
        <source>A folder.</source>
        <translation>Ein Ordner.</translation>
    </message>
    <message>
        <source>Print what a folder&apos;s Desktop.ini gives it: its page, comment,
icon, list picture and list text colour, one &apos;name: value&apos; line
each, or one JSON object with --json.</source>
        <translation>Ausgeben, was die Desktop.ini eines Ordners ihm gibt: Seite, Kommentar,
Symbol, Listenbild und Textfarbe der Liste, je eine Zeile „name: value“
oder mit --json ein JSON-Objekt.</translation>
    </message>
    <message>
        <source>--list-text-colour takes a colour name or #RRGGBB, not &apos;%1&apos;</source>
        <translation>--list-text-colour erwartet einen Farbnamen oder #RRGGBB, nicht „%1“</translation>
    </message>
    <message>
        <source>show-folder needs exactly one FOLDER</source>
        <translation>show-folder erwartet genau einen Ordner (FOLDER)</translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>FileServiceReasons</name>
    <message>
        <source>no file name was given</source>
        <translation>Es wurde kein Dateiname angegeben</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>Es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>Es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the folder &apos;%1&apos; does not exist</source>
        <translation>Der Ordner „%1“ ist nicht vorhanden</translation>
    </message>
    <message>
        <source>no copy of it for recovery could be written beside it (%1) nor in &apos;%2&apos; (%3)</source>
        <translation>Weder daneben (%1) noch in „%2“ (%3) konnte eine Wiederherstellungskopie geschrieben werden</translation>
    </message>
    <message>
        <source>the folder &apos;%1&apos; cannot be written: %2</source>
        <translation>In den Ordner „%1“ kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>Die Datei ist schreibgeschützt</translation>
    </message>
    <message>
        <source>there is no recovery copy of it</source>
        <translation>Es gibt keine Wiederherstellungskopie davon</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>Sie kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>Sie gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>users other than its owner may change it</source>
        <translation>Außer ihrem Eigentümer dürfen andere Benutzer sie ändern</translation>
    </message>
    <message>
        <source>it has more than one link</source>
        <translation>Sie hat mehr als einen Verweis (harte Verknüpfung)</translation>
    </message>
    <message>
        <source>it is incomplete or no recovery copy</source>
        <translation>Sie ist unvollständig oder keine Wiederherstellungskopie</translation>
    </message>
    <message>
        <source>it was made for another file</source>
        <translation>Sie wurde für eine andere Datei angelegt</translation>
    </message>
    <message>
        <source>its content does not match its record</source>
        <translation>Ihr Inhalt stimmt nicht mit ihrem Prüfeintrag überein</translation>
    </message>
    <message>
        <source>the recovery copy &apos;%1&apos; stays: %2</source>
        <translation>Die Wiederherstellungskopie „%1“ bleibt bestehen: %2</translation>
    </message>
</context>
<context>
    <name>Filters</name>
    <message>
        <source>HyperText Template (*.htt)</source>
        <translation>HyperText-Vorlage (*.htt)</translation>
    </message>
    <message>
        <source>Wave Sound (*.wav)</source>
        <translation>WAVE-Audio (*.wav)</translation>
    </message>
    <message>
        <source>MP3 files (*.mp3)</source>
        <translation>MP3-Dateien (*.mp3)</translation>
    </message>
    <message>
        <source>Movie Clip (*.mp2)</source>
        <translation>Filmclip (*.mp2)</translation>
    </message>
    <message>
        <source>Gif Image (*.gif)</source>
        <translation>GIF-Bild (*.gif)</translation>
    </message>
    <message>
        <source>Bitmap Image (*.bmp)</source>
        <translation>Bitmap-Bild (*.bmp)</translation>
    </message>
    <message>
        <source>MIDI Sequence (*.mid *.rmi)</source>
        <translation>MIDI-Sequenz (*.mid *.rmi)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>JPEG Image (*.jpe *.jfif *.jpg *.jpeg)</source>
        <translation>JPEG-Bild (*.jpe *.jfif *.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>Icons (*.ico *.dll *.exe)</source>
        <translation>Symbole (*.ico *.dll *.exe)</translation>
    </message>
</context>
<context>
    <name>FolderChangeReasons</name>
    <message>
        <source>&apos;%1&apos; is kept as &apos;%2&apos; (%3)</source>
        <translation>„%1“ liegt noch als „%2“ vor (%3)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; could not be removed (%2)</source>
        <translation>„%1“ konnte nicht entfernt werden (%2)</translation>
    </message>
    <message>
        <source>the attributes of &apos;%1&apos; could not be set back (%2)</source>
        <translation>Die Attribute von „%1“ konnten nicht zurückgesetzt werden (%2)</translation>
    </message>
    <message>
        <source>it is a link</source>
        <translation>Es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>Es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it has more than one link</source>
        <translation>Die Datei hat mehr als eine Verknüpfung</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>Die Datei gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>others may write it</source>
        <translation>Andere dürfen die Datei schreiben</translation>
    </message>
    <message>
        <source>it cannot be read whole</source>
        <translation>Die Datei kann nicht vollständig gelesen werden</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>Die Datei ist nicht vollständig</translation>
    </message>
    <message>
        <source>%1; the record of the change is kept in &apos;%2&apos;</source>
        <translation>%1; die Aufzeichnung der Änderung bleibt in „%2“</translation>
    </message>
</context>
<context>
    <name>FolderCommands</name>
    <message>
        <source>Use for Folder</source>
        <translation>Für Ordner verwenden</translation>
    </message>
</context>
<context>
    <name>FolderUseReasons</name>
    <message>
        <source>it is a link</source>
        <translation>Es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>Es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>Es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the name is not valid UTF-8</source>
        <translation>Der Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>Es ist kein Ordner</translation>
    </message>
    <message>
        <source>it is too large to be a Desktop.ini</source>
        <translation>Die Datei ist zu groß für eine Desktop.ini</translation>
    </message>
    <message>
        <source>it is not text</source>
        <translation>Die Datei enthält keinen Text</translation>
    </message>
    <message>
        <source>it was not written by Tessivane</source>
        <translation>Die Datei wurde nicht von Tessivane geschrieben</translation>
    </message>
    <message>
        <source>Windows cannot tell it from %1</source>
        <translation>Windows kann die Datei nicht von %1 unterscheiden</translation>
    </message>
    <message>
        <source>it is read-only</source>
        <translation>Die Datei ist schreibgeschützt</translation>
    </message>
    <message>
        <source>it has other hard links, and a change would show in each</source>
        <translation>Die Datei hat weitere feste Verknüpfungen, und eine Änderung würde in jeder sichtbar</translation>
    </message>
    <message>
        <source>its record of an earlier use has been changed by hand</source>
        <translation>Ihre Aufzeichnung einer früheren Verwendung wurde von Hand geändert</translation>
    </message>
    <message>
        <source>it was changed since it was written, and the page it replaced is already kept as &apos;%1&apos;</source>
        <translation>Die Datei wurde seit dem Schreiben geändert, und die Seite, die sie ersetzt hat, wird bereits als „%1“ aufbewahrt</translation>
    </message>
    <message>
        <source>it would grow too large to be a Desktop.ini</source>
        <translation>Die Datei würde zu groß für eine Desktop.ini</translation>
    </message>
    <message>
        <source>%1 (from %2)</source>
        <translation>%1 (aus %2)</translation>
    </message>
    <message>
        <source>the page cannot hold this name</source>
        <translation>Die Seite kann diesen Namen nicht aufnehmen</translation>
    </message>
    <message>
        <source>a value holds a line break or another control character</source>
        <translation>Ein Wert enthält einen Zeilenumbruch oder ein anderes Steuerzeichen</translation>
    </message>
    <message>
        <source>the icon index &apos;%1&apos; is not a whole number</source>
        <translation>Die Symbolnummer „%1“ ist keine ganze Zahl</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a colour</source>
        <translation>„%1“ ist keine Farbe</translation>
    </message>
    <message>
        <source>there is nothing to give the folder</source>
        <translation>Es gibt nichts, was der Ordner bekommen soll</translation>
    </message>
    <message>
        <source>its 8-bit text cannot hold the comment or a name, and its code page is not known</source>
        <translation>Ihr 8-Bit-Text kann den Kommentar oder einen Namen nicht aufnehmen, und ihre Codepage ist nicht bekannt</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>File Access Error</source>
        <translation>Fehler beim Dateizugriff</translation>
    </message>
    <message>
        <source>File Load Error</source>
        <translation>Fehler beim Laden der Datei</translation>
    </message>
    <message>
        <source>Use for Folder</source>
        <translation>Für Ordner verwenden</translation>
    </message>
    <message>
        <source>The file name &apos;%1&apos; is not valid UTF-8</source>
        <translation>Der Dateiname „%1“ ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; could not be read: %2</source>
        <translation>Die Datei „%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; is not a currently supported or is corrupted.  Make a new file with this program.</source>
        <translation>Die Datei „%1“ wird nicht unterstützt oder ist beschädigt. Erstellen Sie mit diesem Programm eine neue Datei.</translation>
    </message>
    <message>
        <source>Load Error</source>
        <translation>Fehler beim Laden</translation>
    </message>
    <message>
        <source>There was an error during loading the HTT file &apos;%1&apos;.</source>
        <translation>Beim Laden der HTT-Datei „%1“ ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has the read only attribute set.</source>
        <translation>„%1“ ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; could not be saved: %2</source>
        <translation>„%1“ konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>File Does Not Exist</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; does not exist.  Please specify another file</source>
        <translation>Die Datei „%1“ ist nicht vorhanden. Bitte geben Sie eine andere Datei an.</translation>
    </message>
    <message>
        <source>Text Cannot Be Stored</source>
        <translation>Text kann nicht gespeichert werden</translation>
    </message>
    <message>
        <source>The text &apos;%1&apos; cannot be stored in this file: it contains a line break or a character that the file&apos;s 8-bit encoding cannot hold. Nothing was saved.</source>
        <translation>Der Text „%1“ kann in dieser Datei nicht gespeichert werden: Er enthält einen Zeilenumbruch oder ein Zeichen, das die 8-Bit-Kodierung der Datei nicht darstellen kann. Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>the document is too short to hold the settings</source>
        <translation>das Dokument ist zu kurz für die Einstellungen</translation>
    </message>
    <message>
        <source>File Changed</source>
        <translation>Datei geändert</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was changed by another program since it was opened. Overwrite it?</source>
        <translation>„%1“ wurde seit dem Öffnen von einem anderen Programm geändert. Überschreiben?</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>Save changes to &apos;%1&apos;?</source>
        <translation>Änderungen an „%1“ speichern?</translation>
    </message>
    <message>
        <source>Use this template for the folder &apos;%1&apos;?</source>
        <translation>Diese Vorlage für den Ordner „%1“ verwenden?</translation>
    </message>
    <message>
        <source>%1 will be replaced.</source>
        <translation>%1 wird ersetzt.</translation>
    </message>
    <message>
        <source>%1 will be written.</source>
        <translation>%1 wird geschrieben.</translation>
    </message>
    <message>
        <source>Desktop.ini will be updated.</source>
        <translation>Desktop.ini wird aktualisiert.</translation>
    </message>
    <message>
        <source>Desktop.ini will be created.</source>
        <translation>Desktop.ini wird erstellt.</translation>
    </message>
    <message>
        <source>The folder will be marked read-only, Desktop.ini and %1 hidden and system.</source>
        <translation>Der Ordner wird als schreibgeschützt markiert, Desktop.ini und %1 als versteckte Systemdateien.</translation>
    </message>
    <message>
        <source>This volume keeps no Windows attributes: on Windows, the folder must then be marked with attrib +r &quot;%1&quot;.</source>
        <translation>Dieser Datenträger speichert keine Windows-Attribute: Unter Windows muss der Ordner dann mit attrib +r &quot;%1&quot; markiert werden.</translation>
    </message>
    <message>
        <source>Nothing was changed.</source>
        <translation>Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; cannot be used: %2.</source>
        <translation>Der Ordner „%1“ kann nicht verwendet werden: %2.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be the template&apos;s name: use a plain name that ends in .htt, without \ / : * ? &quot; &lt; &gt; | % #.</source>
        <translation>„%1“ kann nicht der Name der Vorlage sein: Verwenden Sie einen einfachen Namen, der auf .htt endet, ohne \ / : * ? &quot; &lt; &gt; | % #.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be changed: %2. %3</source>
        <translation>„%1“ kann nicht geändert werden: %2. %3</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; already uses &apos;%2&apos; from Tessivane; undo that first. %3</source>
        <translation>Der Ordner „%1“ verwendet bereits „%2“ von Tessivane; machen Sie das zuerst rückgängig. %3</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; does not use a template from Tessivane: its Desktop.ini holds no record of one. %2</source>
        <translation>Der Ordner „%1“ verwendet keine Vorlage von Tessivane: Seine Desktop.ini enthält keinen Eintrag dazu. %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; could not be changed: %2. The folder was left as it was.</source>
        <translation>„%1“ konnte nicht geändert werden: %2. Der Ordner bleibt, wie er war.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; now shows %2.</source>
        <translation>Der Ordner „%1“ zeigt jetzt %2.</translation>
    </message>
    <message>
        <source>Its volume keeps no Windows attributes: on Windows, run attrib +r &quot;%1&quot;.</source>
        <translation>Sein Datenträger speichert keine Windows-Attribute: Führen Sie unter Windows attrib +r &quot;%1&quot; aus.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; no longer uses a template from Tessivane.</source>
        <translation>Der Ordner „%1“ verwendet keine Vorlage von Tessivane mehr.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was changed since and is kept.</source>
        <translation>„%1“ wurde inzwischen geändert und bleibt erhalten.</translation>
    </message>
    <message>
        <source>%1 in Desktop.ini was changed since and is kept.</source>
        <translation>%1 in Desktop.ini wurde inzwischen geändert und bleibt erhalten.</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>1.  Create or edit an existing HTT file (only one previously saved by this)<byte value="xd"/>2.  Change the line &apos;PersistMoniker=file://Folder.htt&apos; to &apos;PersistMoniker=file://Yourfile.htt&apos; in the Desktop.ini file<byte value="xd"/><byte value="xd"/>In the description box, you can type &apos;%THISDIRNAME%&apos; for the name of the folder or &apos;%THISDIRPATH%&apos; for the folder&apos;s full path.</source>
        <translation>1.  Eine HTT-Datei erstellen oder eine vorhandene bearbeiten (nur eine, die zuvor mit diesem Programm gespeichert wurde)<byte value="xd"/>2.  In der Datei Desktop.ini die Zeile &apos;PersistMoniker=file://Folder.htt&apos; in &apos;PersistMoniker=file://IhreDatei.htt&apos; ändern<byte value="xd"/><byte value="xd"/>Im Beschreibungsfeld können Sie &apos;%THISDIRNAME%&apos; für den Namen des Ordners oder &apos;%THISDIRPATH%&apos; für den vollständigen Pfad des Ordners eingeben.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Tessivane, by the Tessivane authors, 2026</source>
        <translation>Tessivane, von den Tessivane-Autoren, 2026</translation>
    </message>
    <message>
        <source>HyperText Template%1.htt</source>
        <translation>HyperText-Vorlage%1.htt</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was not saved: an earlier save of it was cut short, and the file as it was before that save is kept in &apos;%2&apos;. Opening the file offers to restore it.</source>
        <translation>„%1“ wurde nicht gespeichert: Ein früheres Speichern dieser Datei wurde abgebrochen, und die Datei in ihrem Zustand vor diesem Speichern liegt in „%2“. Beim Öffnen der Datei wird angeboten, sie wiederherzustellen.</translation>
    </message>
    <message>
        <source>Recovery Copy</source>
        <translation>Wiederherstellungskopie</translation>
    </message>
    <message>
        <source>A save of &apos;%1&apos; was cut short, so the file may hold part of the new content and part of the old. A copy of the file as it was before that save is kept in &apos;%2&apos;.

Restore the file from that copy, or keep the file as it is? Either way the copy is then removed.</source>
        <translation>Das Speichern von „%1“ wurde abgebrochen; die Datei kann daher teils den neuen und teils den alten Inhalt enthalten. Eine Kopie der Datei in ihrem Zustand vor diesem Speichern liegt in „%2“.

Die Datei aus dieser Kopie wiederherstellen oder die Datei so lassen, wie sie ist? In beiden Fällen wird die Kopie danach entfernt.</translation>
    </message>
    <message>
        <source>The page there now is kept as %1, and undoing the use brings it back.</source>
        <translation>Die Seite, die dort jetzt liegt, wird als %1 aufbewahrt; das Rückgängigmachen holt sie zurück.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a page of Tessivane&apos;s that this use would replace; it is replaced (and kept for undoing) only when asked. %2</source>
        <translation>„%1“ ist eine Seite von Tessivane, die diese Verwendung ersetzen würde; sie wird nur auf Wunsch ersetzt (und für das Rückgängigmachen aufbewahrt). %2</translation>
    </message>
    <message>
        <source>Another change of the folder &apos;%1&apos; is under way; try again when it has ended. %2</source>
        <translation>Eine andere Änderung des Ordners „%1“ läuft gerade; versuchen Sie es erneut, wenn sie beendet ist. %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; records a change of the folder that did not end, and it cannot be trusted: %2. Look at the folder and remove that file before changing the folder again. %3</source>
        <translation>„%1“ zeichnet eine nicht beendete Änderung des Ordners auf, der nicht vertraut werden kann: %2. Sehen Sie sich den Ordner an und entfernen Sie diese Datei, bevor Sie den Ordner erneut ändern. %3</translation>
    </message>
    <message>
        <source>The change of the folder &apos;%1&apos; was stopped before it was complete; the folder was left as it was.</source>
        <translation>Die Änderung des Ordners „%1“ wurde vor ihrem Abschluss angehalten; der Ordner bleibt, wie er war.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; could not be changed, and undoing the change failed too: %2. The next use or undoing of the folder finishes undoing it.</source>
        <translation>Der Ordner „%1“ konnte nicht geändert werden, und auch das Rückgängigmachen der Änderung schlug fehl: %2. Die nächste Verwendung oder das nächste Rückgängigmachen für diesen Ordner schließt es ab.</translation>
    </message>
    <message>
        <source>The page it replaced is kept as &apos;%1&apos;.</source>
        <translation>Die ersetzte Seite wird als „%1“ aufbewahrt.</translation>
    </message>
    <message>
        <source>A change of the folder that an earlier run left unfinished was undone first.</source>
        <translation>Eine Änderung des Ordners, die ein früherer Lauf unvollendet ließ, wurde zuerst rückgängig gemacht.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is the page it had before again.</source>
        <translation>„%1“ ist wieder die Seite, die der Ordner vorher hatte.</translation>
    </message>
    <message>
        <source>The page it had before stays in &apos;%1&apos;.</source>
        <translation>Die Seite, die der Ordner vorher hatte, bleibt in „%1“.</translation>
    </message>
    <message>
        <source>Files named like a recovery copy of &apos;%1&apos; are ignored: they are not restored and do not stop a save.</source>
        <translation>Dateien, die wie eine Wiederherstellungskopie von „%1“ benannt sind, werden nicht beachtet: Sie werden nicht wiederhergestellt und verhindern kein Speichern.</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: %2.</source>
        <translation>„%1“: %2.</translation>
    </message>
    <message>
        <source>Copied into the folder, for Windows to find: %1.</source>
        <translation>In den Ordner kopiert, damit Windows sie findet: %1.</translation>
    </message>
    <message>
        <source>Copied into the folder: %1.</source>
        <translation>In den Ordner kopiert: %1.</translation>
    </message>
    <message>
        <source>Places on the Windows machine, not checked on this machine: %1.</source>
        <translation>Orte auf dem Windows-Rechner, auf diesem Rechner nicht geprüft: %1.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was copied in and changed since, and is kept.</source>
        <translation>„%1“ wurde hineinkopiert und seitdem geändert und bleibt erhalten.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; cannot be given that: %2. %3</source>
        <translation>Der Ordner „%1“ kann das nicht bekommen: %2. %3</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; has its new look.</source>
        <translation>Der Ordner „%1“ hat sein neues Aussehen.</translation>
    </message>
</context>
<context>
    <name>NameNotes</name>
    <message>
        <source>&apos;%1&apos; is in the folder the page is saved in; it is checked once the page has a folder.</source>
        <translation>„%1“ liegt im Ordner, in dem die Seite gespeichert wird; das wird geprüft, sobald die Seite einen Ordner hat.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a place on the Windows machine: not checked on this machine.</source>
        <translation>„%1“ ist ein Ort auf dem Windows-Rechner: auf diesem Rechner nicht geprüft.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was found as &apos;%2&apos;, in another letter case, which Windows does not mind.</source>
        <translation>„%1“ wurde als „%2“ gefunden, in anderer Groß- und Kleinschreibung, was Windows nicht stört.</translation>
    </message>
</context>
<context>
    <name>WidgetDialogs</name>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Keep the file as it is</source>
        <translation>Datei so lassen, wie sie ist</translation>
    </message>
</context>
<context>
    <name>tessivane::FolderLister</name>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 ist nicht vorhanden.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be read.</source>
        <translation>Der Ordner %1 kann nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>tessivane::FolderLookDialog</name>
    <message>
        <source>Icon index</source>
        <translation>Symbolnummer</translation>
    </message>
    <message>
        <source>Bro&amp;wse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Brow&amp;se...</source>
        <translation>D&amp;urchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Other...</source>
        <translation>&amp;Weitere...</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Kommentar:</translation>
    </message>
    <message>
        <source>&amp;Icon, index:</source>
        <translation>&amp;Symbol, Nummer:</translation>
    </message>
    <message>
        <source>List &amp;picture:</source>
        <translation>Listen&amp;bild:</translation>
    </message>
    <message>
        <source>File names&apos; co&amp;lour:</source>
        <translation>&amp;Farbe der Dateinamen:</translation>
    </message>
    <message>
        <source>Each part is optional. One you empty takes out what an earlier use set there.</source>
        <translation>Jede Angabe ist freiwillig. Eine geleerte nimmt heraus, was eine frühere Verwendung dort gesetzt hat.</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>List Picture</source>
        <translation>Listenbild</translation>
    </message>
    <message>
        <source>File Names&apos; Colour</source>
        <translation>Farbe der Dateinamen</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Not a colour: use a name or #RRGGBB</source>
        <translation>Keine Farbe: einen Namen oder #RRGGBB angeben</translation>
    </message>
</context>
<context>
    <name>tessivane::MainWindow</name>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Speichern...</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Use for &amp;Folder...</source>
        <translation>Für &amp;Ordner verwenden...</translation>
    </message>
    <message>
        <source>&amp;Information</source>
        <translation>&amp;Informationen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>The preview comes with the tessivane-preview package.</source>
        <translation>Die Vorschau ist im Paket tessivane-preview enthalten.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Current file</source>
        <translation>Aktuelle Datei</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>The preview stopped</source>
        <translation>Die Vorschau wurde beendet</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Choose Sound File</source>
        <translation>Klangdatei wählen</translation>
    </message>
    <message>
        <source>Choose Background Image</source>
        <translation>Hintergrundbild wählen</translation>
    </message>
    <message>
        <source>Choose Line Image</source>
        <translation>Linienbild wählen</translation>
    </message>
</context>
<context>
    <name>tessivane::PictureViewer</name>
    <message>
        <source>Picture Viewer - %1</source>
        <translation>Bildbetrachter - %1</translation>
    </message>
</context>
<context>
    <name>tessivane::PreviewWindow</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Klang abspielen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Show the Page for the Folder</source>
        <translation>Seite für den Ordner anzeigen</translation>
    </message>
    <message>
        <source>Notices</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>&amp;Ordner:</translation>
    </message>
    <message>
        <source>Choose the folder the page describes</source>
        <translation>Den Ordner wählen, den die Seite beschreibt</translation>
    </message>
    <message>
        <source>Choose folder…</source>
        <translation>Ordner wählen…</translation>
    </message>
    <message>
        <source>Folder page</source>
        <translation>Ordnerseite</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>The preview stopped</source>
        <translation>Die Vorschau wurde beendet</translation>
    </message>
    <message>
        <source>The page asked to show a message box; the preview shows none.</source>
        <translation>Die Seite wollte ein Meldungsfenster öffnen; die Vorschau öffnet keines.</translation>
    </message>
    <message>
        <source>The page cannot be written to %1: %2</source>
        <translation>Die Seite kann nicht nach %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Preview - %1</source>
        <translation>Vorschau - %1</translation>
    </message>
    <message>
        <source>This is not a document Tessivane wrote: it is shown as it is.</source>
        <translation>Dieses Dokument stammt nicht von Tessivane: Es wird gezeigt, wie es ist.</translation>
    </message>
    <message>
        <source>The document ends before line %1: settings after it are missing.</source>
        <translation>Das Dokument endet vor Zeile %1: Die Einstellungen danach fehlen.</translation>
    </message>
    <message>
        <source>Not found: %1</source>
        <translation>Nicht gefunden: %1</translation>
    </message>
    <message>
        <source>The page stopped answering and was restarted.</source>
        <translation>Die Seite reagierte nicht mehr und wurde neu gestartet.</translation>
    </message>
    <message>
        <source>Running as root: the page runs without the browser&apos;s sandbox.</source>
        <translation>Als root gestartet: Die Seite läuft ohne die Sandbox des Browsers.</translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n more: point here for all)</source>
        <translation>
            <numerusform>%1 (und %n weiterer: für alle hierher zeigen)</numerusform>
            <numerusform>%1 (und %n weitere: für alle hierher zeigen)</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos;: found only on this machine; Use for Folder copies it in</source>
        <translation>„%1“: nur auf diesem Rechner vorhanden; „Für Ordner verwenden“ kopiert die Datei in den Ordner</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: not checked on this machine</source>
        <translation>„%1“: auf diesem Rechner nicht geprüft</translation>
    </message>
    <message>
        <source>The folder&apos;s icon %1 cannot be shown here.</source>
        <translation>Das Symbol des Ordners, %1, kann hier nicht gezeigt werden.</translation>
    </message>
</context>
<context>
    <name>tessivane::SettingsForm</name>
    <message>
        <source>(no font)</source>
        <translation>(keine Schriftart)</translation>
    </message>
    <message>
        <source>%1 (not installed)</source>
        <translation>%1 (nicht installiert)</translation>
    </message>
    <message>
        <source>%1 (custom)</source>
        <translation>%1 (eigene)</translation>
    </message>
    <message>
        <source>Font &amp;Options</source>
        <translation>Schrift&amp;optionen</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>&amp;Colour</source>
        <translation>&amp;Farbe</translation>
    </message>
    <message>
        <source>&amp;Title Size:</source>
        <translation>&amp;Titelgröße:</translation>
    </message>
    <message>
        <source>&amp;Information Text Size:</source>
        <translation>Größe des &amp;Infotexts:</translation>
    </message>
    <message>
        <source>Sample of the folder title in the chosen font, colour and title size</source>
        <translation>Muster des Ordnertitels in der gewählten Schrift, Farbe und Titelgröße</translation>
    </message>
    <message>
        <source>Sample of the information text in the chosen font, colour and size</source>
        <translation>Muster des Infotexts in der gewählten Schrift, Farbe und Größe</translation>
    </message>
    <message>
        <source>&amp;Sound Options</source>
        <translation>&amp;Klangoptionen</translation>
    </message>
    <message>
        <source>Sound file</source>
        <translation>Klangdatei</translation>
    </message>
    <message>
        <source>Choose sound file…</source>
        <translation>Klangdatei wählen…</translation>
    </message>
    <message>
        <source>&amp;Loop Forever</source>
        <translation>&amp;Endlos wiederholen</translation>
    </message>
    <message>
        <source>Number of times</source>
        <translation>Anzahl der Wiederholungen</translation>
    </message>
    <message>
        <source>Loo&amp;p for:</source>
        <translation>&amp;Wiederholungen:</translation>
    </message>
    <message>
        <source>Graphic Options</source>
        <translation>Grafikoptionen</translation>
    </message>
    <message>
        <source>&amp;Background Image:</source>
        <translation>Hinter&amp;grundbild:</translation>
    </message>
    <message>
        <source>Choose background image…</source>
        <translation>Hintergrundbild wählen…</translation>
    </message>
    <message>
        <source>Li&amp;ne Image:</source>
        <translation>&amp;Linienbild:</translation>
    </message>
    <message>
        <source>Choose line image…</source>
        <translation>Linienbild wählen…</translation>
    </message>
    <message>
        <source>Folder &amp;Description:</source>
        <translation>Ordner&amp;beschreibung:</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About Quillery</source>
        <translation>Über Quillery</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>A gallery of ready-made e-mail newsletter templates.</source>
        <translation>Eine Sammlung fertiger Vorlagen für E-Mail-Newsletter.</translation>
    </message>
    <message>
        <source>Quillery and its template library are proprietary software: all rights reserved.</source>
        <translation>Quillery und seine Vorlagenbibliothek sind proprietäre Software: alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>Software it uses</source>
        <translation>Verwendete Software</translation>
    </message>
    <message>
        <source>GNU Lesser General Public License, version 3 (LGPL-3), or GNU General Public License, version 2 (GPL-2)</source>
        <translation>GNU Lesser General Public License, Version 3 (LGPL-3), oder GNU General Public License, Version 2 (GPL-2)</translation>
    </message>
    <message>
        <source>Qt WebEngine, with the Chromium code it contains</source>
        <translation>Qt WebEngine mit dem enthaltenen Chromium-Code</translation>
    </message>
    <message>
        <source>LGPL-3 or GPL-2; the Chromium code under BSD-style licences</source>
        <translation>LGPL-3 oder GPL-2; der Chromium-Code unter BSD-artigen Lizenzen</translation>
    </message>
    <message>
        <source>GNU Lesser General Public License, version 2.1 or later (LGPL-2.1+)</source>
        <translation>GNU Lesser General Public License, Version 2.1 oder später (LGPL-2.1+)</translation>
    </message>
    <message>
        <source>Fonts</source>
        <translation>Schriften</translation>
    </message>
    <message>
        <source>Tahoma from Wine (the window&apos;s font)</source>
        <translation>Tahoma aus Wine (die Schrift des Fensters)</translation>
    </message>
    <message>
        <source>Liberation 2, Carlito, Caladea (templates)</source>
        <translation>Liberation 2, Carlito, Caladea (Vorlagen)</translation>
    </message>
    <message>
        <source>SIL Open Font License, version 1.1 (OFL-1.1)</source>
        <translation>SIL Open Font License, Version 1.1 (OFL-1.1)</translation>
    </message>
    <message>
        <source>URW base35 (templates)</source>
        <translation>URW base35 (Vorlagen)</translation>
    </message>
    <message>
        <source>GNU Affero General Public License, version 3, with a font exception</source>
        <translation>GNU Affero General Public License, Version 3, mit einer Ausnahme für Schriften</translation>
    </message>
    <message>
        <source>DejaVu (templates)</source>
        <translation>DejaVu (Vorlagen)</translation>
    </message>
    <message>
        <source>the Bitstream Vera font licence</source>
        <translation>die Schriftlizenz von Bitstream Vera</translation>
    </message>
    <message>
        <source>The fonts are those of Debian&apos;s packages fonts-wine, fonts-liberation2, fonts-crosextra-carlito, fonts-crosextra-caladea, fonts-urw-base35 and fonts-dejavu-core; each package&apos;s copyright file in /usr/share/doc/ holds the full licence.</source>
        <translation>Die Schriften sind die der Debian-Pakete fonts-wine, fonts-liberation2, fonts-crosextra-carlito, fonts-crosextra-caladea, fonts-urw-base35 und fonts-dejavu-core; die Copyright-Datei jedes Pakets unter /usr/share/doc/ enthält die vollständige Lizenz.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>BSD 3-clause licence</source>
        <translation>BSD-Lizenz mit drei Klauseln</translation>
    </message>
</context>
<context>
    <name>AccountDialog</name>
    <message>
        <source>New account</source>
        <translation>Neues Konto</translation>
    </message>
    <message>
        <source>Edit account</source>
        <translation>Konto bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Account name</source>
        <translation>Name des Kontos</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>SMTP server</source>
        <translation>SMTP-Server</translation>
    </message>
    <message>
        <source>smtp.example.com</source>
        <translation>smtp.example.com</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheit</translation>
    </message>
    <message>
        <source>STARTTLS (usually port 587)</source>
        <translation>STARTTLS (meist Port 587)</translation>
    </message>
    <message>
        <source>TLS (usually port 465)</source>
        <translation>TLS (meist Port 465)</translation>
    </message>
    <message>
        <source>None: only to a server on this computer</source>
        <translation>Keine: nur an einen Server auf diesem Computer</translation>
    </message>
    <message>
        <source>S&amp;ecurity:</source>
        <translation>Si&amp;cherheit:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation>Pass&amp;wort:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>kept in the keyring</source>
        <translation>wird im Schlüsselbund aufbewahrt</translation>
    </message>
    <message>
        <source>unchanged unless you type a new one</source>
        <translation>bleibt, solange Sie kein neues eingeben</translation>
    </message>
    <message>
        <source>&amp;From address:</source>
        <translation>&amp;Absenderadresse:</translation>
    </message>
    <message>
        <source>From address</source>
        <translation>Absenderadresse</translation>
    </message>
    <message>
        <source>you@example.com</source>
        <translation>sie@example.com</translation>
    </message>
    <message>
        <source>From na&amp;me:</source>
        <translation>Absender&amp;name:</translation>
    </message>
    <message>
        <source>From name</source>
        <translation>Absendername</translation>
    </message>
    <message>
        <source>the template&apos;s own</source>
        <translation>der der Vorlage</translation>
    </message>
    <message>
        <source>Give the account a name.</source>
        <translation>Geben Sie dem Konto einen Namen.</translation>
    </message>
    <message>
        <source>Another account has this name.</source>
        <translation>Ein anderes Konto hat diesen Namen.</translation>
    </message>
    <message>
        <source>Enter the SMTP server&apos;s host name.</source>
        <translation>Geben Sie den Hostnamen des SMTP-Servers ein.</translation>
    </message>
    <message>
        <source>Enter the server&apos;s port.</source>
        <translation>Geben Sie den Port des Servers ein.</translation>
    </message>
    <message>
        <source>Without encryption, mail goes only to a server on this computer.</source>
        <translation>Ohne Verschlüsselung geht Post nur an einen Server auf diesem Computer.</translation>
    </message>
    <message>
        <source>Enter the address the test comes from.</source>
        <translation>Geben Sie die Adresse ein, von der der Test kommt.</translation>
    </message>
</context>
<context>
    <name>AddTemplateDialog</name>
    <message>
        <source>Add a template</source>
        <translation>Vorlage hinzufügen</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>One of your categories, or a new one</source>
        <translation>Eine Ihrer Kategorien oder eine neue</translation>
    </message>
    <message>
        <source>&amp;Category:</source>
        <translation>&amp;Kategorie:</translation>
    </message>
    <message>
        <source>Template name</source>
        <translation>Name der Vorlage</translation>
    </message>
    <message>
        <source>The name the category page shows</source>
        <translation>Der Name, den die Kategorieseite zeigt</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>The button that adds the file to the user&apos;s templates.</extracomment>
        <translation>Hinzufügen</translation>
    </message>
</context>
<context>
    <name>BrandApply</name>
    <message>
        <source>%1: the brand&apos;s logo cannot be read</source>
        <translation>%1: Das Logo der Marke kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the page&apos;s character set &quot;%1&quot; is not known</source>
        <translation>der Zeichensatz „%1“ der Seite ist unbekannt</translation>
    </message>
    <message>
        <source>The brand &quot;%1&quot; cannot be used: %2</source>
        <translation>Die Marke „%1“ kann nicht verwendet werden: %2</translation>
    </message>
</context>
<context>
    <name>BrandColours</name>
    <message>
        <source>The text colour has too little contrast with the page; the templates use %1 for text instead.</source>
        <translation>Die Textfarbe hat zu wenig Kontrast zur Seite; die Vorlagen verwenden stattdessen %1 für Text.</translation>
    </message>
    <message>
        <source>The main colour has too little contrast with the page for headings and links; they use the text colour instead.</source>
        <translation>Die Hauptfarbe hat zu wenig Kontrast zur Seite für Überschriften und Links; diese verwenden stattdessen die Textfarbe.</translation>
    </message>
    <message>
        <source>White text has too little contrast with the accent colour; buttons use dark text instead.</source>
        <translation>Weißer Text hat zu wenig Kontrast zur Akzentfarbe; Schaltflächen verwenden stattdessen dunklen Text.</translation>
    </message>
    <message>
        <source>White text has too little contrast with the main colour; the header uses dark text instead.</source>
        <translation>Weißer Text hat zu wenig Kontrast zur Hauptfarbe; der Kopfbereich verwendet stattdessen dunklen Text.</translation>
    </message>
</context>
<context>
    <name>BrandEditor</name>
    <message>
        <source>Main colour (header band)</source>
        <translation>Hauptfarbe (Kopfband)</translation>
    </message>
    <message>
        <source>Accent (buttons, links)</source>
        <translation>Akzent (Schaltflächen, Links)</translation>
    </message>
    <message>
        <source>Text colour</source>
        <translation>Textfarbe</translation>
    </message>
    <message>
        <source>Page background</source>
        <translation>Seitenhintergrund</translation>
    </message>
    <message>
        <source>Second accent (optional)</source>
        <translation>Zweiter Akzent (optional)</translation>
    </message>
    <message>
        <source>Brands</source>
        <translation>Marken</translation>
    </message>
    <message>
        <source>No template is previewed</source>
        <translation>Keine Vorlage in der Vorschau</translation>
    </message>
    <message>
        <source>The template “%1” in the brand being edited</source>
        <extracomment>%1 is the previewed template&apos;s name.</extracomment>
        <translation>Die Vorlage „%1“ in der bearbeiteten Marke</translation>
    </message>
    <message>
        <source>&amp;Brands</source>
        <translation>&amp;Marken</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add a brand</source>
        <translation>Eine Marke hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove the brand</source>
        <translation>Die Marke entfernen</translation>
    </message>
    <message>
        <source>Brand files that could not be read</source>
        <translation>Markendateien, die nicht gelesen werden konnten</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>The sender&apos;s name; also the logo&apos;s alternative text</source>
        <translation>Der Name des Absenders; auch der Alternativtext des Logos</translation>
    </message>
    <message>
        <source>&amp;Tagline</source>
        <translation>&amp;Slogan</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>No logo: choose a file or drop one here</source>
        <translation>Kein Logo: eine Datei wählen oder hierher ziehen</translation>
    </message>
    <message>
        <source>C&amp;hoose…</source>
        <translation>&amp;Wählen…</translation>
    </message>
    <message>
        <source>Choose a logo</source>
        <translation>Ein Logo wählen</translation>
    </message>
    <message>
        <source>No logo</source>
        <translation>Kein Logo</translation>
    </message>
    <message>
        <source>Remove the logo</source>
        <translation>Das Logo entfernen</translation>
    </message>
    <message>
        <source>&amp;Logo</source>
        <translation>&amp;Logo</translation>
    </message>
    <message>
        <source>Pick…</source>
        <translation>Wählen…</translation>
    </message>
    <message>
        <source>Pick the colour: %1</source>
        <extracomment>%1 is a colour&apos;s role, such as &quot;Text colour&quot;.</extracomment>
        <translation>Die Farbe wählen: %1</translation>
    </message>
    <message>
        <source>&amp;Heading fonts</source>
        <translation>Schriften der Übe&amp;rschriften</translation>
    </message>
    <message>
        <source>Postal address</source>
        <translation>Postanschrift</translation>
    </message>
    <message>
        <source>&amp;Website</source>
        <translation>Webs&amp;ite</translation>
    </message>
    <message>
        <source>&amp;View in browser</source>
        <translation>Im &amp;Browser ansehen</translation>
    </message>
    <message>
        <source>&amp;Unsubscribe</source>
        <translation>&amp;Abmelden</translation>
    </message>
    <message>
        <source>Preview in the brand</source>
        <translation>Vorschau in der Marke</translation>
    </message>
    <message>
        <source>Problems and adjustments</source>
        <translation>Probleme und Anpassungen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>Spei&amp;chern</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.svg)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.svg)</translation>
    </message>
    <message>
        <source>%1: “%2” is not a colour; write it as #RRGGBB, such as #1F4E79.</source>
        <extracomment>%1 is a colour&apos;s role, %2 what the user typed.</extracomment>
        <translation>%1: „%2“ ist keine Farbe; bitte als #RRGGBB schreiben, etwa #1F4E79.</translation>
    </message>
    <message>
        <source>No template is previewed.</source>
        <translation>Keine Vorlage in der Vorschau.</translation>
    </message>
    <message>
        <source>New brand</source>
        <translation>Neue Marke</translation>
    </message>
    <message>
        <source>Remove brand</source>
        <extracomment>%1 is the brand&apos;s name.</extracomment>
        <translation>Marke entfernen</translation>
    </message>
    <message>
        <source>Remove the brand “%1” and its logo?</source>
        <translation>Die Marke „%1“ und ihr Logo entfernen?</translation>
    </message>
    <message>
        <source>Save the changes to the brand “%1”?</source>
        <extracomment>%1 is the brand&apos;s name.</extracomment>
        <translation>Die Änderungen an der Marke „%1“ speichern?</translation>
    </message>
    <message>
        <source>Bod&amp;y fonts</source>
        <translation>Schriften des &amp;Texts</translation>
    </message>
    <message>
        <source>&amp;Postal address</source>
        <translation>&amp;Postanschrift</translation>
    </message>
</context>
<context>
    <name>BrandKit</name>
    <message>
        <source>%1: the link is longer than %2 characters.</source>
        <translation>%1: Der Link ist länger als %2 Zeichen.</translation>
    </message>
    <message>
        <source>%1: a link cannot hold spaces or control characters.</source>
        <translation>%1: Ein Link darf keine Leerzeichen oder Steuerzeichen enthalten.</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a web address (it should start with https://).</source>
        <translation>%1: „%2“ ist keine Webadresse (sie sollte mit https:// beginnen).</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; names no web site.</source>
        <translation>%1: „%2“ nennt keine Website.</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; names no e-mail address.</source>
        <translation>%1: „%2“ nennt keine E-Mail-Adresse.</translation>
    </message>
    <message>
        <source>%1: links starting with &quot;%2:&quot; are refused; use https:// or mailto:.</source>
        <translation>%1: Links, die mit „%2:“ beginnen, werden abgelehnt; verwenden Sie https:// oder mailto:.</translation>
    </message>
    <message>
        <source>The brand needs a name.</source>
        <translation>Die Marke braucht einen Namen.</translation>
    </message>
    <message>
        <source>%1 is longer than %2 characters.</source>
        <translation>%1 ist länger als %2 Zeichen.</translation>
    </message>
    <message>
        <source>%1 cannot hold line breaks or control characters.</source>
        <translation>%1 darf keine Zeilenumbrüche oder Steuerzeichen enthalten.</translation>
    </message>
    <message>
        <source>The name</source>
        <translation>Der Name</translation>
    </message>
    <message>
        <source>The tagline</source>
        <translation>Der Slogan</translation>
    </message>
    <message>
        <source>%1 is not a colour; write it as #rrggbb.</source>
        <translation>%1 ist keine Farbe; schreiben Sie sie als #rrggbb.</translation>
    </message>
    <message>
        <source>The main colour</source>
        <translation>Die Hauptfarbe</translation>
    </message>
    <message>
        <source>The accent colour</source>
        <translation>Die Akzentfarbe</translation>
    </message>
    <message>
        <source>The text colour</source>
        <translation>Die Textfarbe</translation>
    </message>
    <message>
        <source>The page colour</source>
        <translation>Die Seitenfarbe</translation>
    </message>
    <message>
        <source>Choose the heading fonts from the list.</source>
        <translation>Wählen Sie die Schriften für Überschriften aus der Liste.</translation>
    </message>
    <message>
        <source>Choose the body fonts from the list.</source>
        <translation>Wählen Sie die Schriften für den Text aus der Liste.</translation>
    </message>
    <message>
        <source>The address is %1 characters long; it can have at most %2.</source>
        <translation>Die Adresse ist %1 Zeichen lang; sie darf höchstens %2 haben.</translation>
    </message>
    <message>
        <source>The address can have at most %1 lines.</source>
        <translation>Die Adresse darf höchstens %1 Zeilen haben.</translation>
    </message>
    <message>
        <source>The address cannot hold control characters.</source>
        <translation>Die Adresse darf keine Steuerzeichen enthalten.</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>View in browser</source>
        <translation>Im Browser ansehen</translation>
    </message>
    <message>
        <source>Unsubscribe</source>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a social network the templates know.</source>
        <translation>„%1“ ist kein soziales Netzwerk, das die Vorlagen kennen.</translation>
    </message>
</context>
<context>
    <name>BrandStore</name>
    <message>
        <source>%1: is not valid JSON (%2 at byte %3)</source>
        <translation>%1: ist kein gültiges JSON (%2 bei Byte %3)</translation>
    </message>
    <message>
        <source>%1: is not a brand (no JSON object)</source>
        <translation>%1: ist keine Marke (kein JSON-Objekt)</translation>
    </message>
    <message>
        <source>%1: has an unknown format %2 (this version reads %3)</source>
        <translation>%1: hat das unbekannte Format %2 (diese Version liest %3)</translation>
    </message>
    <message>
        <source>%1: the %2 colour &quot;%3&quot; is not a colour</source>
        <translation>%1: Die Farbe %2 „%3“ ist keine Farbe</translation>
    </message>
    <message>
        <source>%1: the logo &quot;%2&quot; is not a file name beside the brand</source>
        <translation>%1: Das Logo „%2“ ist kein Dateiname neben der Marke</translation>
    </message>
    <message>
        <source>%1: its logo %2 is missing</source>
        <translation>%1: Ihr Logo %2 fehlt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a brand&apos;s file name</source>
        <translation>„%1“ ist nicht der Dateiname einer Marke</translation>
    </message>
    <message>
        <source>%1: the folder could not be made</source>
        <translation>%1: Der Ordner konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1: the logo is not a file of the brands folder</source>
        <translation>%1: Das Logo ist keine Datei des Markenordners</translation>
    </message>
    <message>
        <source>%1: is missing</source>
        <translation>%1: fehlt</translation>
    </message>
    <message>
        <source>%1: could not be removed (%2)</source>
        <translation>%1: konnte nicht entfernt werden (%2)</translation>
    </message>
    <message>
        <source>it holds a script</source>
        <translation>es enthält ein Skript</translation>
    </message>
    <message>
        <source>it holds foreign content</source>
        <translation>es enthält fremde Inhalte</translation>
    </message>
    <message>
        <source>it declares entities</source>
        <translation>es deklariert Entitäten</translation>
    </message>
    <message>
        <source>it holds an event handler</source>
        <translation>es enthält einen Event-Handler</translation>
    </message>
    <message>
        <source>it imports a style sheet</source>
        <translation>es importiert ein Stylesheet</translation>
    </message>
    <message>
        <source>it refers to &quot;%1&quot; outside itself</source>
        <translation>es verweist auf „%1“ außerhalb seiner selbst</translation>
    </message>
    <message>
        <source>is not a readable image</source>
        <translation>ist kein lesbares Bild</translation>
    </message>
    <message>
        <source>has %1 megapixels; a logo can have at most %2</source>
        <translation>hat %1 Megapixel; ein Logo darf höchstens %2 haben</translation>
    </message>
    <message>
        <source>is not a readable image (%1)</source>
        <translation>ist kein lesbares Bild (%1)</translation>
    </message>
    <message>
        <source>is not a PNG, JPEG or SVG image</source>
        <translation>ist kein PNG-, JPEG- oder SVG-Bild</translation>
    </message>
    <message>
        <source>the SVG is refused: %1</source>
        <translation>das SVG wird abgelehnt: %1</translation>
    </message>
    <message>
        <source>is not a valid SVG image</source>
        <translation>ist kein gültiges SVG-Bild</translation>
    </message>
    <message>
        <source>the SVG has no size</source>
        <translation>das SVG hat keine Größe</translation>
    </message>
</context>
<context>
    <name>CategoryMark</name>
    <message>
        <source>Previewed</source>
        <translation>In der Vorschau</translation>
    </message>
</context>
<context>
    <name>CategoryNames</name>
    <message>
        <source>Retail</source>
        <translation>Einzelhandel</translation>
    </message>
    <message>
        <source>Sales, launches and loyalty mailings for shops and brands.</source>
        <translation>Rabattaktionen, Neuheiten und Kundenbindungs-Mailings für Geschäfte und Marken.</translation>
    </message>
    <message>
        <source>Food and Drink</source>
        <translation>Essen und Trinken</translation>
    </message>
    <message>
        <source>Menus, tastings and openings for cafés, bakeries and restaurants.</source>
        <translation>Speisekarten, Verkostungen und Eröffnungen für Cafés, Bäckereien und Restaurants.</translation>
    </message>
    <message>
        <source>Business</source>
        <translation>Unternehmen</translation>
    </message>
    <message>
        <source>Product news, invitations and reports for companies and start-ups.</source>
        <translation>Produktneuheiten, Einladungen und Berichte für Unternehmen und Start-ups.</translation>
    </message>
    <message>
        <source>Education</source>
        <translation>Bildung</translation>
    </message>
    <message>
        <source>Newsletters and invitations for schools, colleges, camps and libraries.</source>
        <translation>Newsletter und Einladungen für Schulen, Hochschulen, Ferienlager und Bibliotheken.</translation>
    </message>
    <message>
        <source>Nonprofit</source>
        <translation>Gemeinnützig</translation>
    </message>
    <message>
        <source>Appeals, thank-yous and impact stories for charities.</source>
        <translation>Spendenaufrufe, Dankesschreiben und Wirkungsberichte für gemeinnützige Organisationen.</translation>
    </message>
    <message>
        <source>Real Estate</source>
        <translation>Immobilien</translation>
    </message>
    <message>
        <source>Listings, open houses and market updates for agents.</source>
        <translation>Objektangebote, Besichtigungstermine und Marktberichte für Makler.</translation>
    </message>
    <message>
        <source>Travel and Events</source>
        <translation>Reisen und Veranstaltungen</translation>
    </message>
    <message>
        <source>Trips, festivals, races and weekends away.</source>
        <translation>Reisen, Festivals, Läufe und Wochenendausflüge.</translation>
    </message>
    <message>
        <source>My templates</source>
        <translation>Meine Vorlagen</translation>
    </message>
    <message>
        <source>Your own templates.</source>
        <translation>Ihre eigenen Vorlagen.</translation>
    </message>
</context>
<context>
    <name>CheckController</name>
    <message numerus="yes">
        <source>Contrast and text size were not read: the preview did not answer within %n seconds.</source>
        <translation>
            <numerusform>Kontrast und Textgröße wurden nicht gelesen: Die Vorschau hat nicht innerhalb von %n Sekunde geantwortet.</numerusform>
            <numerusform>Kontrast und Textgröße wurden nicht gelesen: Die Vorschau hat nicht innerhalb von %n Sekunden geantwortet.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 cannot be checked: %2</source>
        <translation>%1 kann nicht geprüft werden: %2</translation>
    </message>
    <message>
        <source>Checking %1…</source>
        <translation>%1 wird geprüft…</translation>
    </message>
    <message numerus="yes">
        <source>The checks did not finish within %n seconds.</source>
        <translation>
            <numerusform>Die Prüfungen wurden nicht innerhalb von %n Sekunde fertig.</numerusform>
            <numerusform>Die Prüfungen wurden nicht innerhalb von %n Sekunden fertig.</numerusform>
        </translation>
    </message>
    <message>
        <source>The spam check did not finish in time and was given up.</source>
        <translation>Die Spamprüfung wurde nicht rechtzeitig fertig und wurde aufgegeben.</translation>
    </message>
    <message>
        <source>Contrast and text size are read from the page: choose a view that shows the page.</source>
        <translation>Kontrast und Textgröße werden aus der Seite gelesen: Wählen Sie eine Ansicht, die die Seite zeigt.</translation>
    </message>
    <message>
        <source>Contrast and text size could not be read from the page.</source>
        <translation>Kontrast und Textgröße konnten nicht aus der Seite gelesen werden.</translation>
    </message>
    <message numerus="yes">
        <source>%n more pieces of text are too faint; the first %1 are shown.</source>
        <translation>
            <numerusform>%n weiterer Text ist zu blass; die ersten %1 werden gezeigt.</numerusform>
            <numerusform>%n weitere Texte sind zu blass; die ersten %1 werden gezeigt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more pieces of text are too small; the first %1 are shown.</source>
        <translation>
            <numerusform>%n weiterer Text ist zu klein; die ersten %1 werden gezeigt.</numerusform>
            <numerusform>%n weitere Texte sind zu klein; die ersten %1 werden gezeigt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Text size on a phone is read in the Phone view: choose Phone to check it.</source>
        <translation>Die Textgröße auf einem Telefon wird in der Ansicht Telefon gelesen: Wählen Sie Telefon, um sie zu prüfen.</translation>
    </message>
    <message>
        <source>The page is too large to read whole: contrast and text size were checked for its first part only.</source>
        <translation>Die Seite ist zu groß, um sie ganz zu lesen: Kontrast und Textgröße wurden nur für ihren ersten Teil geprüft.</translation>
    </message>
    <message>
        <source>The preview does not show this template&apos;s page: choose a view that shows the page.</source>
        <translation>Die Vorschau zeigt nicht die Seite dieser Vorlage: Wählen Sie eine Ansicht, die die Seite zeigt.</translation>
    </message>
    <message>
        <source>Outlined in the preview: &lt;%1&gt; number %2.</source>
        <translation>In der Vorschau umrandet: &lt;%1&gt; Nummer %2.</translation>
    </message>
    <message>
        <source>The element is not in the page the preview shows.</source>
        <translation>Das Element ist nicht in der Seite, die die Vorschau zeigt.</translation>
    </message>
    <message>
        <source>Asking each address for its answer…</source>
        <translation>Jede Adresse wird nach ihrer Antwort gefragt…</translation>
    </message>
    <message numerus="yes">
        <source>%n addresses answered.</source>
        <translation>
            <numerusform>%n Adresse hat geantwortet.</numerusform>
            <numerusform>%n Adressen haben geantwortet.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CheckPanel</name>
    <message>
        <source>Problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>checking…</source>
        <translation>wird geprüft…</translation>
    </message>
    <message>
        <source>problems</source>
        <translation>Probleme</translation>
    </message>
    <message>
        <source>warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>passes</source>
        <translation>bestanden</translation>
    </message>
    <message>
        <source>not fully checked</source>
        <translation>nicht vollständig geprüft</translation>
    </message>
    <message>
        <source>%1, not fully checked</source>
        <translation>%1, nicht vollständig geprüft</translation>
    </message>
    <message>
        <source>Check before sending</source>
        <translation>Vor dem Versand prüfen</translation>
    </message>
    <message>
        <source>Check report</source>
        <translation>Prüfbericht</translation>
    </message>
    <message>
        <source>A verdict for each section and its findings; Enter on a finding shows it in the preview</source>
        <translation>Ein Urteil für jeden Abschnitt und seine Befunde; die Eingabetaste auf einem Befund zeigt ihn in der Vorschau</translation>
    </message>
    <message>
        <source>Spam check under way</source>
        <translation>Spamprüfung läuft</translation>
    </message>
    <message>
        <source>Check links now (uses the network)</source>
        <translation>Links jetzt prüfen (nutzt das Netzwerk)</translation>
    </message>
    <message>
        <source>Asks each web address of the template&apos;s links for its answer: the only thing Quillery sends over the network, and only now</source>
        <translation>Fragt jede Webadresse der Links der Vorlage nach ihrer Antwort: das Einzige, was Quillery über das Netzwerk sendet, und nur jetzt</translation>
    </message>
    <message>
        <source>Check before sending: %1</source>
        <translation>Vor dem Versand prüfen: %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>SpamAssassin is scoring the message; this can take up to a minute, and the rest of the report is ready meanwhile.</source>
        <translation>SpamAssassin bewertet die Nachricht; das kann bis zu einer Minute dauern, der übrige Bericht ist schon fertig.</translation>
    </message>
    <message>
        <source>Not checked: %1</source>
        <translation>Nicht geprüft: %1</translation>
    </message>
    <message>
        <source>(no words)</source>
        <translation>(ohne Worte)</translation>
    </message>
    <message>
        <source>Link “%1” → %2</source>
        <translation>Link „%1“ → %2</translation>
    </message>
    <message>
        <source>Checking links…</source>
        <translation>Links werden geprüft…</translation>
    </message>
</context>
<context>
    <name>CommandMenu</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Copy HTML</source>
        <translation>HTML kopieren</translation>
    </message>
    <message>
        <source>Copy the previewed template&apos;s HTML, its pictures inside it as data: URLs</source>
        <translation>Das HTML der Vorlage in der Vorschau kopieren, ihre Bilder darin als data:-URLs</translation>
    </message>
    <message>
        <source>Copy as rich text</source>
        <translation>Als formatierten Text kopieren</translation>
    </message>
    <message>
        <source>Copy the previewed template as rich text, with its pictures, for a mail composer or a word processor</source>
        <translation>Die Vorlage in der Vorschau als formatierten Text mit ihren Bildern kopieren, für ein Mailprogramm oder eine Textverarbeitung</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Show the folder of the previewed template, when it is one of yours</source>
        <translation>Den Ordner der Vorlage in der Vorschau zeigen, wenn sie eine eigene ist</translation>
    </message>
    <message>
        <source>Open the context menu</source>
        <translation>Das Kontextmenü öffnen</translation>
    </message>
    <message>
        <source>Open the menu of the thumbnail that has the keyboard, or of the preview</source>
        <translation>Das Menü des Vorschaubilds öffnen, das die Tastatur hat, oder das der Vorschau</translation>
    </message>
    <message>
        <source>Commands for %1</source>
        <translation>Befehle für %1</translation>
    </message>
    <message>
        <source>Every command</source>
        <translation>Alle Befehle</translation>
    </message>
    <message>
        <source>The template could not be copied.</source>
        <translation>Die Vorlage konnte nicht kopiert werden.</translation>
    </message>
    <message>
        <source>Make room in the temporary folder named above and copy again.</source>
        <translation>Schaffen Sie Platz im oben genannten temporären Ordner und kopieren Sie erneut.</translation>
    </message>
    <message>
        <source>Copied the HTML of %1</source>
        <translation>Das HTML von %1 ist kopiert</translation>
    </message>
    <message>
        <source>Copied %1 as rich text</source>
        <translation>%1 ist als formatierter Text kopiert</translation>
    </message>
    <message>
        <source>The template&apos;s folder could not be shown.</source>
        <translation>Der Ordner der Vorlage konnte nicht gezeigt werden.</translation>
    </message>
    <message>
        <source>Choose the template again and try once more.</source>
        <translation>Wählen Sie die Vorlage erneut und versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <source>Drag a template</source>
        <translation>Vorlage ziehen</translation>
    </message>
    <message>
        <source>The template could not be made into a message file.</source>
        <translation>Aus der Vorlage konnte keine Nachrichtendatei werden.</translation>
    </message>
    <message>
        <source>Make room in the temporary folder named above and drag the template again.</source>
        <translation>Schaffen Sie Platz im oben genannten temporären Ordner und ziehen Sie die Vorlage erneut.</translation>
    </message>
</context>
<context>
    <name>ExportController</name>
    <message>
        <source>Choose another template; a shipped one comes back when Quillery is installed again.</source>
        <translation>Wählen Sie eine andere Vorlage; eine mitgelieferte kehrt zurück, wenn Quillery neu installiert wird.</translation>
    </message>
    <message>
        <source>The template could not be exported as a web page.</source>
        <translation>Die Vorlage konnte nicht als Webseite exportiert werden.</translation>
    </message>
    <message>
        <source>The template could not be exported as a message file.</source>
        <translation>Die Vorlage konnte nicht als Nachrichtendatei exportiert werden.</translation>
    </message>
    <message>
        <source>Export as html</source>
        <translation>Als HTML exportieren</translation>
    </message>
    <message>
        <source>Export as eml</source>
        <translation>Als EML exportieren</translation>
    </message>
    <message>
        <source>Choose a folder you can write to, with room to spare, and export again.</source>
        <translation>Wählen Sie einen Ordner, in den Sie schreiben dürfen und der genug Platz hat, und exportieren Sie erneut.</translation>
    </message>
    <message>
        <source>Hand to Rookpost</source>
        <translation>An Rookpost übergeben</translation>
    </message>
    <message>
        <source>Rookpost is not installed</source>
        <translation>Rookpost ist nicht installiert</translation>
    </message>
    <message>
        <source>The template could not be handed to Rookpost.</source>
        <translation>Die Vorlage konnte nicht an Rookpost übergeben werden.</translation>
    </message>
    <message>
        <source>Make room in the temporary folder named above and hand the template over again.</source>
        <translation>Schaffen Sie Platz im oben genannten temporären Ordner und übergeben Sie die Vorlage erneut.</translation>
    </message>
    <message>
        <source>Check that Rookpost starts on its own, or install it again, and hand the template over again.</source>
        <translation>Prüfen Sie, ob Rookpost für sich allein startet, oder installieren Sie es neu, und übergeben Sie die Vorlage erneut.</translation>
    </message>
    <message>
        <source>The template was handed to Rookpost, but it is damaged, so the page may be incomplete.</source>
        <translation>Die Vorlage wurde an Rookpost übergeben, ist aber beschädigt; die Seite ist daher möglicherweise unvollständig.</translation>
    </message>
    <message>
        <source>The template could not be exported for a mailing service.</source>
        <translation>Die Vorlage konnte nicht für einen Mailing-Dienst exportiert werden.</translation>
    </message>
    <message>
        <source>Export for a mailing service</source>
        <translation>Für einen Mailing-Dienst exportieren</translation>
    </message>
    <message>
        <source>Exported “%1” for %2: page %3, images %4</source>
        <translation>„%1“ für %2 exportiert: Seite %3, Bilder %4</translation>
    </message>
    <message>
        <source>Exported “%1” for %2 in the brand “%3”: page %4, images %5</source>
        <translation>„%1“ für %2 in der Marke „%3“ exportiert: Seite %4, Bilder %5</translation>
    </message>
    <message>
        <source>The page is %1, more than the %2 after which Gmail clips a message: its readers see the end, with the unsubscribe link, only after clicking “View entire message”. A shorter template avoids that.</source>
        <translation>Die Seite hat %1, mehr als die %2, nach denen Gmail eine Nachricht abschneidet: Ihre Leser sehen das Ende mit dem Abmeldelink erst nach einem Klick auf „Gesamte Nachricht anzeigen“. Eine kürzere Vorlage vermeidet das.</translation>
    </message>
    <message>
        <source>%1 has no merge tag for %2, so the page still holds it as it is; replace it in the service&apos;s editor before sending.</source>
        <translation>%1 hat kein Platzhalter-Tag für %2; die Seite enthält es daher unverändert. Ersetzen Sie es vor dem Versand im Editor des Dienstes.</translation>
    </message>
    <message>
        <source>Check the brand in “Edit brands”, or switch it off, and hand the template over again.</source>
        <translation>Die Marke unter „Marken bearbeiten“ prüfen oder ausschalten und die Vorlage erneut übergeben.</translation>
    </message>
    <message>
        <source>Exported “%1” in the brand “%2”</source>
        <translation>„%1“ in der Marke „%2“ exportiert</translation>
    </message>
</context>
<context>
    <name>ExportNotice</name>
    <message>
        <source>Export finished. %1 opens the folder of the file.</source>
        <translation>Export abgeschlossen. %1 öffnet den Ordner der Datei.</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Opens the folder of the exported file in the file manager</source>
        <translation>Öffnet den Ordner der exportierten Datei in der Dateiverwaltung</translation>
    </message>
    <message>
        <source>Open the folder of the exported file (%1)</source>
        <translation>Den Ordner der exportierten Datei öffnen (%1)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Closes the export notice</source>
        <translation>Schließt den Exporthinweis</translation>
    </message>
    <message>
        <source>Close this notice (Esc)</source>
        <translation>Diesen Hinweis schließen (Esc)</translation>
    </message>
    <message>
        <source>Exported “%1”</source>
        <translation>„%1“ exportiert</translation>
    </message>
    <message>
        <source>The folder “%1” could not be opened</source>
        <translation>Der Ordner „%1“ konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Closes the notice</source>
        <translation>Schließt den Hinweis</translation>
    </message>
    <message>
        <source>Esc closes the notice.</source>
        <translation>Esc schließt den Hinweis.</translation>
    </message>
    <message>
        <source>Open the folder of the file just exported (while the export notice is shown)</source>
        <translation>Den Ordner der eben exportierten Datei öffnen (solange der Exporthinweis angezeigt wird)</translation>
    </message>
    <message>
        <source>Close the export notice; in the search field, close the search</source>
        <translation>Den Exporthinweis schließen; im Suchfeld die Suche schließen</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>Opens the exported page or message in the user&apos;s program for it.</extracomment>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Opens the exported file in the program the desktop opens it with</source>
        <translation>Öffnet die exportierte Datei in dem Programm, mit dem der Desktop sie öffnet</translation>
    </message>
    <message>
        <source>Open the exported file in the program the desktop opens it with</source>
        <translation>Die exportierte Datei in dem Programm öffnen, mit dem der Desktop sie öffnet</translation>
    </message>
    <message>
        <source>“%1” could not be opened</source>
        <translation>„%1“ konnte nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>FailureReport</name>
    <message>
        <source>your user account is not allowed to use this file or folder</source>
        <translation>Ihr Benutzerkonto darf diese Datei oder diesen Ordner nicht verwenden</translation>
    </message>
    <message>
        <source>the drive it is on can only be read, so nothing can be saved or changed there</source>
        <translation>das Laufwerk, auf dem es liegt, kann nur gelesen werden; dort lässt sich nichts speichern oder ändern</translation>
    </message>
    <message>
        <source>there is no room left on its drive, or your share of it is used up</source>
        <translation>auf dem Laufwerk ist kein Platz mehr frei, oder Ihr Anteil daran ist aufgebraucht</translation>
    </message>
    <message>
        <source>there is no such file or folder; it may have been moved, renamed or removed</source>
        <translation>diese Datei oder diesen Ordner gibt es nicht; vielleicht wurde sie verschoben, umbenannt oder entfernt</translation>
    </message>
    <message>
        <source>a part of this path is a file, where a folder should be</source>
        <translation>ein Teil dieses Pfades ist eine Datei, wo ein Ordner sein müsste</translation>
    </message>
    <message>
        <source>the name or the path is too long for the system</source>
        <translation>der Name oder der Pfad ist für das System zu lang</translation>
    </message>
    <message>
        <source>the file is in use by another program</source>
        <translation>die Datei wird von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>this is a folder, where a file should be</source>
        <translation>dies ist ein Ordner, wo eine Datei sein müsste</translation>
    </message>
    <message>
        <source>the drive could not be read or written; it may be damaged or no longer connected</source>
        <translation>das Laufwerk ließ sich nicht lesen oder beschreiben; vielleicht ist es beschädigt oder nicht mehr verbunden</translation>
    </message>
    <message>
        <source>%1 (system: %2)</source>
        <extracomment>A reason in words, then the system&apos;s own words for it, for whoever helps the user.</extracomment>
        <translation>%1 (System: %2)</translation>
    </message>
    <message>
        <source>The system&apos;s message: %1</source>
        <extracomment>The details of an error box, kept for whoever helps the user.</extracomment>
        <translation>Die Meldung des Systems: %1</translation>
    </message>
</context>
<context>
    <name>FileChanges</name>
    <message>
        <source>: the folder cannot be created</source>
        <translation>: der Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>: the file cannot be removed</source>
        <translation>: die Datei kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>%1: could not be put back as it was (%2)</source>
        <translation>%1: konnte nicht wiederhergestellt werden (%2)</translation>
    </message>
    <message>
        <source>the folder can be neither removed nor made</source>
        <translation>der Ordner kann weder entfernt noch angelegt werden</translation>
    </message>
    <message>
        <source>the file cannot be removed</source>
        <translation>die Datei kann nicht entfernt werden</translation>
    </message>
</context>
<context>
    <name>FileIo</name>
    <message>
        <source>is a folder</source>
        <translation>ist ein Ordner</translation>
    </message>
    <message>
        <source>is a FIFO (a named pipe), not a file</source>
        <translation>ist ein FIFO (eine benannte Pipe), keine Datei</translation>
    </message>
    <message>
        <source>is a socket, not a file</source>
        <translation>ist ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>is a device, not a file</source>
        <translation>ist ein Gerät, keine Datei</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>ist keine normale Datei</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>is a link to a missing file</source>
        <translation>ist eine Verknüpfung auf eine fehlende Datei</translation>
    </message>
    <message>
        <source>is missing</source>
        <translation>fehlt</translation>
    </message>
    <message>
        <source>is a link, not a file</source>
        <translation>ist eine Verknüpfung, keine Datei</translation>
    </message>
    <message>
        <source>is larger than %1</source>
        <translation>ist größer als %1</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source> Choose a template</source>
        <translation> Vorlage wählen</translation>
    </message>
    <message>
        <source> Preview</source>
        <translation> Vorschau</translation>
    </message>
    <message>
        <source> Export</source>
        <translation> Exportieren</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Category page</source>
        <translation>Kategorieseite</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Divider between the category page and the preview</source>
        <translation>Trennleiste zwischen Kategorieseite und Vorschau</translation>
    </message>
    <message>
        <source>&gt; html</source>
        <translation>&gt; html</translation>
    </message>
    <message>
        <source>Export as an HTML page…</source>
        <translation>Als HTML-Seite exportieren…</translation>
    </message>
    <message>
        <source>Export the previewed template as an HTML page with its images folder</source>
        <translation>Die angezeigte Vorlage als HTML-Seite mit ihrem Bilderordner exportieren</translation>
    </message>
    <message>
        <source>&gt; eml</source>
        <translation>&gt; eml</translation>
    </message>
    <message>
        <source>Export as an .eml message…</source>
        <translation>Als .eml-Nachricht exportieren…</translation>
    </message>
    <message>
        <source>Export the previewed template as an .eml message for a mail program</source>
        <translation>Die angezeigte Vorlage als .eml-Nachricht für ein E-Mail-Programm exportieren</translation>
    </message>
    <message>
        <source>&gt; Rookpost</source>
        <translation>&gt; Rookpost</translation>
    </message>
    <message>
        <source>Hand to Rookpost</source>
        <translation>An Rookpost übergeben</translation>
    </message>
    <message>
        <source>Hand the previewed template to Rookpost</source>
        <translation>Die angezeigte Vorlage an Rookpost übergeben</translation>
    </message>
    <message>
        <source>More</source>
        <translation>Mehr</translation>
    </message>
    <message>
        <source>More: the website, the layout, help and About</source>
        <translation>Mehr: die Website, das Layout, Hilfe und „Über Quillery“</translation>
    </message>
    <message>
        <source>Quillery website</source>
        <translation>Quillery-Website</translation>
    </message>
    <message>
        <source>Open the Quillery website in the browser</source>
        <translation>Die Quillery-Website im Browser öffnen</translation>
    </message>
    <message>
        <source>No templates</source>
        <translation>Keine Vorlagen</translation>
    </message>
    <message>
        <source>There are no category pages in %1.</source>
        <translation>In %1 gibt es keine Kategorieseiten.</translation>
    </message>
    <message>
        <source>The category “%1” cannot be shown</source>
        <translation>Die Kategorie „%1“ kann nicht angezeigt werden</translation>
    </message>
    <message>
        <source> Preview: </source>
        <translation> Vorschau: </translation>
    </message>
    <message>
        <source> (yours)</source>
        <translation> (eigene)</translation>
    </message>
    <message>
        <source>One of your own categories</source>
        <translation>Eine Ihrer eigenen Kategorien</translation>
    </message>
    <message>
        <source>The settings file was damaged: it is kept as “%1” and the settings start afresh</source>
        <translation>Die Einstellungsdatei war beschädigt: Sie ist als „%1“ aufbewahrt, und die Einstellungen beginnen neu</translation>
    </message>
    <message>
        <source>Settings cannot be stored, and changes last only until the gallery closes: %1</source>
        <translation>Einstellungen können nicht gespeichert werden; Änderungen gelten nur, bis die Galerie geschlossen wird: %1</translation>
    </message>
    <message>
        <source>The library cannot be opened</source>
        <translation>Die Bibliothek lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>%1 is not a folder. Start Quillery with --library and a folder that holds categories/ and templates/, as quillery-library build writes them, or without --library for the library installed with it.</source>
        <translation>%1 ist kein Ordner. Starten Sie Quillery mit --library und einem Ordner, der categories/ und templates/ enthält, wie quillery-library build sie schreibt, oder ohne --library für die mitinstallierte Bibliothek.</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>Your favourite templates</source>
        <translation>Ihre Lieblingsvorlagen</translation>
    </message>
    <message>
        <source>Add to favourites</source>
        <translation>Zu den Favoriten hinzufügen</translation>
    </message>
    <message>
        <source>Add the previewed template to your favourites, or take it off them</source>
        <translation>Die Vorlage der Vorschau zu den Favoriten hinzufügen oder daraus entfernen</translation>
    </message>
    <message>
        <source>%1 is one of your favourites now</source>
        <extracomment>Said to screen readers after Ctrl+D; %1 is the template&apos;s name.</extracomment>
        <translation>%1 ist jetzt einer Ihrer Favoriten</translation>
    </message>
    <message>
        <source>%1 is no longer one of your favourites</source>
        <translation>%1 ist keiner Ihrer Favoriten mehr</translation>
    </message>
    <message>
        <source>Remove from favourites</source>
        <translation>Aus den Favoriten entfernen</translation>
    </message>
    <message>
        <source>“%1” is in the trash</source>
        <translation>„%1“ liegt im Papierkorb</translation>
    </message>
    <message>
        <source>Undo</source>
        <extracomment>The button that puts a removed template back.</extracomment>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>“%1” is back</source>
        <translation>„%1“ ist wieder da</translation>
    </message>
    <message>
        <source>“%1” is back as “%2”: its name was taken meanwhile</source>
        <translation>„%1“ ist wieder da, als „%2“: Sein Name war inzwischen vergeben</translation>
    </message>
    <message>
        <source>Brand files that could not be read: %1</source>
        <translation>Markendateien, die nicht gelesen werden konnten: %1</translation>
    </message>
    <message>
        <source>In the brand “%1”</source>
        <extracomment>Said to screen readers when the brand toggle is switched; %1 is the brand&apos;s name.</extracomment>
        <translation>In der Marke „%1“</translation>
    </message>
    <message>
        <source>As shipped</source>
        <translation>Wie ausgeliefert</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>More</source>
        <translation>Mehr</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Open the Quillery website in the browser</source>
        <translation>Die Quillery-Website im Browser öffnen</translation>
    </message>
    <message>
        <source>Reset layout</source>
        <translation>Layout zurücksetzen</translation>
    </message>
    <message>
        <source>Put the divider between the panes back where it started</source>
        <translation>Die Trennleiste zwischen den Bereichen an ihre Ausgangsposition zurücksetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close this panel</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>Website</source>
        <comment>caption</comment>
        <translation>Website</translation>
    </message>
    <message>
        <source>Reset layout</source>
        <comment>caption</comment>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Help</source>
        <comment>caption</comment>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>Open the user guide (F1)</source>
        <translation>Das Benutzerhandbuch öffnen (F1)</translation>
    </message>
    <message>
        <source>Keys</source>
        <comment>caption</comment>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Show the keyboard shortcuts (Ctrl+?)</source>
        <translation>Die Tastenkürzel anzeigen (Strg+?)</translation>
    </message>
    <message>
        <source>About</source>
        <comment>caption</comment>
        <translation>Über</translation>
    </message>
    <message>
        <source>About Quillery</source>
        <translation>Über Quillery</translation>
    </message>
    <message>
        <source>The version and the licences</source>
        <translation>Die Version und die Lizenzen</translation>
    </message>
    <message>
        <source>Commands</source>
        <comment>caption</comment>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Every command</source>
        <translation>Alle Befehle</translation>
    </message>
    <message>
        <source>A menu of every command of the window with its key</source>
        <translation>Ein Menü aller Befehle des Fensters mit ihren Tasten</translation>
    </message>
    <message>
        <source>Send a test…</source>
        <comment>caption</comment>
        <translation>Test senden…</translation>
    </message>
    <message>
        <source>Send a test</source>
        <translation>Test senden</translation>
    </message>
    <message>
        <source>Send the previewed template to an inbox as a test (Ctrl+Shift+T)</source>
        <translation>Die angezeigte Vorlage als Test an ein Postfach senden (Strg+Umschalt+T)</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Quillery user guide</source>
        <translation>Quillery-Benutzerhandbuch</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>HelpWindows</name>
    <message>
        <source> or </source>
        <extracomment>Between two keys that do the same, in the keyboard-shortcut overview: &quot;F10 or Ctrl+M&quot;.</extracomment>
        <translation> oder </translation>
    </message>
</context>
<context>
    <name>KeysController</name>
    <message>
        <source>Export the previewed template as an HTML page (“&gt; html”)</source>
        <translation>Die angezeigte Vorlage als HTML-Seite exportieren („&gt; html“)</translation>
    </message>
    <message>
        <source>Export it as an .eml message (“&gt; eml”)</source>
        <translation>Sie als .eml-Nachricht exportieren („&gt; eml“)</translation>
    </message>
    <message>
        <source>Hand it to Rookpost (“&gt; Rookpost”, while that button is shown)</source>
        <translation>Sie an Rookpost übergeben („&gt; Rookpost“, solange diese Schaltfläche angezeigt wird)</translation>
    </message>
    <message>
        <source>Open the More panel</source>
        <translation>Das Feld „Mehr“ öffnen</translation>
    </message>
    <message>
        <source>Open the user guide</source>
        <translation>Das Benutzerhandbuch öffnen</translation>
    </message>
    <message>
        <source>Show the keyboard shortcuts</source>
        <translation>Die Tastenkürzel anzeigen</translation>
    </message>
    <message>
        <source>Close the window</source>
        <translation>Das Fenster schließen</translation>
    </message>
    <message>
        <source>Preview the next template of the category page</source>
        <translation>Die nächste Vorlage der Kategorieseite anzeigen</translation>
    </message>
    <message>
        <source>Preview the previous template of the category page</source>
        <translation>Die vorige Vorlage der Kategorieseite anzeigen</translation>
    </message>
    <message>
        <source>Show the next category</source>
        <translation>Die nächste Kategorie anzeigen</translation>
    </message>
    <message>
        <source>Show the previous category</source>
        <translation>Die vorige Kategorie anzeigen</translation>
    </message>
    <message>
        <source>Preview: %1, %2 of %3</source>
        <extracomment>Said to screen readers after Ctrl+Down or Ctrl+Up: %1 is the template, %2 its place, %3 how many.</extracomment>
        <translation>Vorschau: %1, %2 von %3</translation>
    </message>
    <message>
        <source>Category %1, %2 of %3; preview: %4</source>
        <extracomment>Said to screen readers after Ctrl+PgDown or Ctrl+PgUp: %1 is the category, %2 its place, %3 how many, %4 the template previewed.</extracomment>
        <translation>Kategorie %1, %2 von %3; Vorschau: %4</translation>
    </message>
    <message>
        <source>Export it for a mailing service (a zip with the service&apos;s merge tags)</source>
        <translation>Sie für einen Mailing-Dienst exportieren (ein Zip mit den Platzhalter-Tags des Dienstes)</translation>
    </message>
    <message>
        <source>Export as HTML…</source>
        <translation>Als HTML exportieren…</translation>
    </message>
    <message>
        <source>Export as .eml…</source>
        <translation>Als .eml exportieren…</translation>
    </message>
    <message>
        <source>Hand to Rookpost</source>
        <translation>An Rookpost übergeben</translation>
    </message>
    <message>
        <source>More…</source>
        <translation>Mehr…</translation>
    </message>
    <message>
        <source>Send a test of the previewed template to an inbox</source>
        <translation>Einen Test der angezeigten Vorlage an ein Postfach senden</translation>
    </message>
    <message>
        <source>Export for a mailing service…</source>
        <translation>Für einen Mailing-Dienst exportieren…</translation>
    </message>
    <message>
        <source>Send a test…</source>
        <translation>Test senden…</translation>
    </message>
</context>
<context>
    <name>LinkProbe</name>
    <message numerus="yes">
        <source>The link check stopped after %n seconds.</source>
        <translation>
            <numerusform>Die Linkprüfung wurde nach %n Sekunde beendet.</numerusform>
            <numerusform>Die Linkprüfung wurde nach %n Sekunden beendet.</numerusform>
        </translation>
    </message>
    <message>
        <source>The link check was cancelled.</source>
        <translation>Die Linkprüfung wurde abgebrochen.</translation>
    </message>
    <message numerus="yes">
        <source>The link check stopped after %n requests.</source>
        <translation>
            <numerusform>Die Linkprüfung wurde nach %n Anfrage beendet.</numerusform>
            <numerusform>Die Linkprüfung wurde nach %n Anfragen beendet.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n addresses were not checked.</source>
        <translation>
            <numerusform>%n Adresse wurde nicht geprüft.</numerusform>
            <numerusform>%n Adressen wurden nicht geprüft.</numerusform>
        </translation>
    </message>
    <message>
        <source>(sent on to %1)</source>
        <translation>(weitergeleitet zu %1)</translation>
    </message>
    <message>
        <source>%1 sends its readers round in a loop of redirects%2.</source>
        <translation>%1 schickt die Leser in eine Schleife von Weiterleitungen%2.</translation>
    </message>
    <message>
        <source>%1 was sent on %2 times and not followed further%3.</source>
        <translation>%1 wurde %2-mal weitergeleitet und nicht weiter verfolgt%3.</translation>
    </message>
    <message>
        <source>%1 answers %2: the reader gets an error page%3.</source>
        <translation>%1 antwortet %2: Der Leser bekommt eine Fehlerseite%3.</translation>
    </message>
    <message>
        <source>%1 answers %2%3.</source>
        <translation>%1 antwortet %2%3.</translation>
    </message>
    <message>
        <source>%1 gave no answer in time%2.</source>
        <translation>%1 hat nicht rechtzeitig geantwortet%2.</translation>
    </message>
    <message>
        <source>%1 cannot be reached: %2%3.</source>
        <translation>%1 ist nicht erreichbar: %2%3.</translation>
    </message>
</context>
<context>
    <name>MergeFields</name>
    <message>
        <source>First name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>Unsubscribe link</source>
        <translation>Abmeldelink</translation>
    </message>
    <message>
        <source>Preferences link</source>
        <translation>Link zu den Einstellungen</translation>
    </message>
    <message>
        <source>Web version link</source>
        <translation>Link zur Webversion</translation>
    </message>
    <message>
        <source>Generic ([name] fields)</source>
        <translation>Allgemein (Felder [name])</translation>
    </message>
</context>
<context>
    <name>MimeComponent</name>
    <message>
        <source>no message has been loaded</source>
        <translation>es wurde keine Nachricht geladen</translation>
    </message>
    <message>
        <source>%1: the message is larger than %2 MB</source>
        <translation>%1: die Nachricht ist größer als %2 MB</translation>
    </message>
    <message>
        <source>the message is larger than %1 MB</source>
        <translation>die Nachricht ist größer als %1 MB</translation>
    </message>
    <message>
        <source>the message is empty</source>
        <translation>die Nachricht ist leer</translation>
    </message>
    <message>
        <source>the message is nested more than %1 levels deep; the deeper parts are not shown</source>
        <translation>die Nachricht ist mehr als %1 Ebenen tief verschachtelt; die tieferen Teile werden nicht angezeigt</translation>
    </message>
    <message>
        <source>the message is cut off; what arrived of it is shown</source>
        <translation>die Nachricht ist abgeschnitten; angezeigt wird, was davon angekommen ist</translation>
    </message>
    <message>
        <source>the message is malformed</source>
        <translation>die Nachricht ist fehlerhaft aufgebaut</translation>
    </message>
    <message>
        <source>a multipart has no boundary</source>
        <translation>ein mehrteiliger Abschnitt (multipart) hat keine Trennmarke (boundary)</translation>
    </message>
    <message>
        <source>the data is not a MIME message</source>
        <translation>die Daten sind keine MIME-Nachricht</translation>
    </message>
    <message>
        <source>no folder given for the images</source>
        <translation>kein Ordner für die Bilder angegeben</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a plain folder name for the images</source>
        <translation>„%1“ ist kein einfacher Ordnername für die Bilder</translation>
    </message>
    <message>
        <source>%1: the message has more than %2 files; the rest are not shown</source>
        <translation>%1: die Nachricht hat mehr als %2 Dateien; die übrigen werden nicht angezeigt</translation>
    </message>
    <message>
        <source>%1: the message&apos;s files come to more than %2 MB; the rest are not shown</source>
        <translation>%1: die Dateien der Nachricht umfassen mehr als %2 MB; die übrigen werden nicht angezeigt</translation>
    </message>
    <message>
        <source>%1: no free file name for %2</source>
        <translation>%1: kein freier Dateiname für %2</translation>
    </message>
    <message>
        <source>%1: is a link, not a folder</source>
        <translation>%1: ist eine Verknüpfung, kein Ordner</translation>
    </message>
    <message>
        <source>%1: cannot create the folder</source>
        <translation>%1: der Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>is a link, not a folder</source>
        <translation>ist eine Verknüpfung, kein Ordner</translation>
    </message>
    <message>
        <source>the page refers to its parts too often; the rest of the references are left as they are</source>
        <translation>die Seite verweist zu oft auf ihre Teile; die übrigen Verweise bleiben unverändert</translation>
    </message>
    <message>
        <source>the text of the message is longer than %1 MB; the rest is left out</source>
        <translation>der Text der Nachricht ist länger als %1 MB; der Rest wird weggelassen</translation>
    </message>
    <message>
        <source>the message has no text or HTML to show</source>
        <translation>die Nachricht enthält weder Text noch HTML zum Anzeigen</translation>
    </message>
    <message>
        <source>the page nests its elements deeper than %1 levels; it was flattened</source>
        <translation>die Seite verschachtelt ihre Elemente tiefer als %1 Ebenen; sie wurde abgeflacht</translation>
    </message>
    <message>
        <source>the page holds SVG filters, SVG animations or style variables that would take too long to draw; they were left out</source>
        <translation>die Seite enthält SVG-Filter, SVG-Animationen oder Stilvariablen, deren Darstellung zu lange dauern würde; sie wurden weggelassen</translation>
    </message>
</context>
<context>
    <name>OutlookCheck</name>
    <message>
        <source>button &quot;%1&quot; lost its padding (%2 x %3 px)</source>
        <translation>Schaltfläche „%1“ hat ihren Innenabstand verloren (%2 x %3 px)</translation>
    </message>
    <message>
        <source>row %1: its %2 columns stack</source>
        <translation>Zeile %1: ihre %2 Spalten stehen untereinander</translation>
    </message>
    <message>
        <source>row %1: a column sticks out of the page</source>
        <translation>Zeile %1: eine Spalte ragt über die Seite hinaus</translation>
    </message>
    <message>
        <source>the tagline runs into the brand name</source>
        <translation>der Slogan läuft in den Markennamen hinein</translation>
    </message>
    <message>
        <source>the %1 boxes side by side from &quot;%2&quot; stack</source>
        <translation>die %1 nebeneinander gesetzten Kästen ab „%2“ stehen untereinander</translation>
    </message>
    <message>
        <source>: no working folder for the check</source>
        <translation>: kein Arbeitsordner für die Prüfung</translation>
    </message>
    <message>
        <source>: the page did not load</source>
        <translation>: die Seite wurde nicht geladen</translation>
    </message>
    <message>
        <source>: its layout could not be measured</source>
        <translation>: ihr Layout konnte nicht gemessen werden</translation>
    </message>
    <message>
        <source>: the page could not be drawn</source>
        <translation>: die Seite konnte nicht gezeichnet werden</translation>
    </message>
</context>
<context>
    <name>OutlookModel</name>
    <message>
        <source>an @media block in the style sheet has no end</source>
        <translation>ein @media-Block im Stylesheet hat kein Ende</translation>
    </message>
</context>
<context>
    <name>OwnTemplatesController</name>
    <message>
        <source>“%1”</source>
        <extracomment>Quotation marks around a template&apos;s name.</extracomment>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>: this is not an HTML page: it holds no HTML elements, only text</source>
        <translation>: dies ist keine HTML-Seite: sie enthält keine HTML-Elemente, nur Text</translation>
    </message>
    <message>
        <source>Add a template…</source>
        <translation>Vorlage hinzufügen…</translation>
    </message>
    <message>
        <source>Add a message (.eml) or a page (.htm, .html) to your own templates</source>
        <translation>Eine Nachricht (.eml) oder eine Seite (.htm, .html) zu Ihren eigenen Vorlagen hinzufügen</translation>
    </message>
    <message>
        <source>Rename the template…</source>
        <translation>Vorlage umbenennen…</translation>
    </message>
    <message>
        <source>Rename the previewed template, when it is one of yours</source>
        <translation>Die angezeigte Vorlage umbenennen, wenn sie eine Ihrer eigenen ist</translation>
    </message>
    <message>
        <source>Remove the template…</source>
        <translation>Vorlage entfernen…</translation>
    </message>
    <message>
        <source>Remove the previewed template, when it is one of yours</source>
        <translation>Die angezeigte Vorlage entfernen, wenn sie eine Ihrer eigenen ist</translation>
    </message>
    <message>
        <source>Add a template</source>
        <translation>Vorlage hinzufügen</translation>
    </message>
    <message>
        <source>Templates (*.eml *.htm *.html);;Messages (*.eml);;Pages (*.htm *.html)</source>
        <translation>Vorlagen (*.eml *.htm *.html);;Nachrichten (*.eml);;Seiten (*.htm *.html)</translation>
    </message>
    <message>
        <source>Choose a complete message (.eml) or HTML page (.htm, .html) that you can read, and add it again.</source>
        <translation>Wählen Sie eine vollständige Nachricht (.eml) oder HTML-Seite (.htm, .html), die Sie lesen dürfen, und fügen Sie sie erneut hinzu.</translation>
    </message>
    <message>
        <source>The template was not added.</source>
        <translation>Die Vorlage wurde nicht hinzugefügt.</translation>
    </message>
    <message>
        <source>Choose another name or category, or another file, and add it again.</source>
        <translation>Wählen Sie einen anderen Namen, eine andere Kategorie oder eine andere Datei und fügen Sie sie erneut hinzu.</translation>
    </message>
    <message>
        <source>The template was added, but its thumbnail could not be drawn.</source>
        <translation>Die Vorlage wurde hinzugefügt, aber ihr Vorschaubild konnte nicht gezeichnet werden.</translation>
    </message>
    <message>
        <source>The category page shows a placeholder in its place; the template itself works.</source>
        <translation>Die Kategorieseite zeigt an seiner Stelle einen Platzhalter; die Vorlage selbst funktioniert.</translation>
    </message>
    <message>
        <source>There is no template in the preview to rename.</source>
        <translation>In der Vorschau ist keine Vorlage, die umbenannt werden könnte.</translation>
    </message>
    <message>
        <source>There is no template in the preview to remove.</source>
        <translation>In der Vorschau ist keine Vorlage, die entfernt werden könnte.</translation>
    </message>
    <message>
        <source>%1 is a shipped template: only your own templates, added with Ctrl+O, can be renamed.</source>
        <translation>%1 ist eine mitgelieferte Vorlage: Nur Ihre eigenen, mit Strg+O hinzugefügten Vorlagen können umbenannt werden.</translation>
    </message>
    <message>
        <source>%1 is a shipped template: only your own templates, added with Ctrl+O, can be removed.</source>
        <translation>%1 ist eine mitgelieferte Vorlage: Nur Ihre eigenen, mit Strg+O hinzugefügten Vorlagen können entfernt werden.</translation>
    </message>
    <message>
        <source>Rename the template</source>
        <translation>Vorlage umbenennen</translation>
    </message>
    <message>
        <source>New name of %1:</source>
        <translation>Neuer Name für %1:</translation>
    </message>
    <message>
        <source>Rename</source>
        <extracomment>The button that renames the template, in the rename dialog.</extracomment>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>The template was not renamed.</source>
        <translation>Die Vorlage wurde nicht umbenannt.</translation>
    </message>
    <message>
        <source>Choose another name and rename it again.</source>
        <translation>Wählen Sie einen anderen Namen und benennen Sie sie erneut um.</translation>
    </message>
    <message>
        <source>Remove the template</source>
        <translation>Vorlage entfernen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>The template was not removed.</source>
        <translation>Die Vorlage wurde nicht entfernt.</translation>
    </message>
    <message>
        <source>Close other programs that may use the file and remove it again.</source>
        <translation>Schließen Sie andere Programme, die die Datei benutzen könnten, und entfernen Sie sie erneut.</translation>
    </message>
    <message>
        <source>Undo the removal</source>
        <translation>Entfernen rückgängig machen</translation>
    </message>
    <message>
        <source>Put the template removed last back where it was</source>
        <translation>Die zuletzt entfernte Vorlage wieder an ihren Platz legen</translation>
    </message>
    <message>
        <source>The template was not put back.</source>
        <translation>Die Vorlage wurde nicht zurückgelegt.</translation>
    </message>
    <message>
        <source>It is still in the trash, from where your file manager can put it back.</source>
        <translation>Sie liegt noch im Papierkorb, aus dem Ihr Dateimanager sie zurücklegen kann.</translation>
    </message>
    <message>
        <source>The trash cannot take the template: %1

Remove the template %2 from your templates? This cannot be undone.</source>
        <translation>Der Papierkorb kann die Vorlage nicht aufnehmen: %1

Die Vorlage %2 aus Ihren Vorlagen entfernen? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>There is no removal to undo.</source>
        <translation>Es gibt kein Entfernen, das rückgängig zu machen wäre.</translation>
    </message>
</context>
<context>
    <name>OwnerLock</name>
    <message>
        <source>%1: cannot lock: %2</source>
        <translation>%1: kann nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>%1: keeps being replaced</source>
        <translation>%1: wird immer wieder ersetzt</translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <source>%1: the password could not be put into the keyring: %2</source>
        <translation>%1: Das Passwort konnte nicht in den Schlüsselbund gelegt werden: %2</translation>
    </message>
    <message>
        <source>%1: the password could not be taken out of the keyring: %2</source>
        <translation>%1: Das Passwort konnte nicht aus dem Schlüsselbund entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The category page names no template.</source>
        <translation>Die Kategorieseite nennt keine Vorlage.</translation>
    </message>
</context>
<context>
    <name>PreviewPages</name>
    <message>
        <source>No template to preview</source>
        <translation>Keine Vorlage für die Vorschau</translation>
    </message>
    <message>
        <source>The template “%1” cannot be shown</source>
        <translation>Die Vorlage „%1“ kann nicht angezeigt werden</translation>
    </message>
    <message>
        <source>This template can be shown only in part: </source>
        <translation>Diese Vorlage kann nur teilweise angezeigt werden: </translation>
    </message>
</context>
<context>
    <name>RecipientView</name>
    <message>
        <source>(no sender)</source>
        <translation>(kein Absender)</translation>
    </message>
    <message>
        <source>(no subject)</source>
        <translation>(kein Betreff)</translation>
    </message>
    <message>
        <source>Inbox line</source>
        <translation>Posteingangszeile</translation>
    </message>
    <message>
        <source>This template has no preheader: the inbox shows the start of its text instead.</source>
        <translation>Diese Vorlage hat keinen Vorschautext: Der Posteingang zeigt stattdessen den Anfang ihres Textes.</translation>
    </message>
    <message>
        <source>On a phone</source>
        <translation>Auf dem Smartphone</translation>
    </message>
    <message>
        <source>On a desktop</source>
        <translation>Am Computer</translation>
    </message>
    <message>
        <source>[The rest of the text is too long to show.]</source>
        <translation>[Der Rest des Textes ist zu lang zum Anzeigen.]</translation>
    </message>
    <message>
        <source>Plain text of “%1”</source>
        <translation>Nur-Text von „%1“</translation>
    </message>
    <message>
        <source>The plain-text part of this template is empty.</source>
        <translation>Der Textteil dieser Vorlage ist leer.</translation>
    </message>
    <message>
        <source>This template has no plain-text part.</source>
        <translation>Diese Vorlage hat keinen Textteil.</translation>
    </message>
</context>
<context>
    <name>SearchController</name>
    <message>
        <source>Search all templates</source>
        <translation>Alle Vorlagen durchsuchen</translation>
    </message>
    <message>
        <source>Search all templates by name, subject or text</source>
        <translation>Alle Vorlagen nach Name, Betreff oder Text durchsuchen</translation>
    </message>
    <message>
        <source>Search all templates (Ctrl+F); empty, it lists the recent ones. Esc closes, Down goes to the results.</source>
        <translation>Alle Vorlagen durchsuchen (Strg+F); leer zeigt es die zuletzt angesehenen. Esc schließt, Pfeil nach unten führt zu den Ergebnissen.</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
    <message>
        <source>Search every template; empty, the recent ones</source>
        <translation>Alle Vorlagen durchsuchen; leer die zuletzt angesehenen</translation>
    </message>
    <message>
        <source>Recent templates</source>
        <translation>Zuletzt angesehene Vorlagen</translation>
    </message>
    <message>
        <source>The templates you preview are listed here. Type a word to search every template.</source>
        <translation>Hier stehen die Vorlagen, die Sie in der Vorschau ansehen. Geben Sie ein Wort ein, um alle Vorlagen zu durchsuchen.</translation>
    </message>
    <message>
        <source>Type a word to search every template.</source>
        <translation>Geben Sie ein Wort ein, um alle Vorlagen zu durchsuchen.</translation>
    </message>
    <message>
        <source>Searching for “%1”</source>
        <translation>Suche nach „%1“</translation>
    </message>
    <message>
        <source>Still reading the templates; the results follow in a moment.</source>
        <translation>Die Vorlagen werden noch gelesen; die Ergebnisse folgen gleich.</translation>
    </message>
    <message>
        <source>1 template for “%1”</source>
        <translation>1 Vorlage für „%1“</translation>
    </message>
    <message>
        <source>%1 templates for “%2”</source>
        <translation>%1 Vorlagen für „%2“</translation>
    </message>
    <message>
        <source>No template has these words in its name, subject or text.</source>
        <translation>Keine Vorlage hat diese Wörter in Name, Betreff oder Text.</translation>
    </message>
    <message>
        <source>The first %1 are shown; add a word to narrow the search.</source>
        <translation>Die ersten %1 werden angezeigt; fügen Sie ein Wort hinzu, um die Suche einzugrenzen.</translation>
    </message>
    <message>
        <source>Preview: %1</source>
        <translation>Vorschau: %1</translation>
    </message>
    <message>
        <source>Still reading the templates; your favourites follow in a moment.</source>
        <translation>Die Vorlagen werden noch gelesen; Ihre Favoriten folgen gleich.</translation>
    </message>
    <message>
        <source>Press Ctrl+D to add the previewed template to your favourites.</source>
        <translation>Drücken Sie Strg+D, um die Vorlage der Vorschau zu Ihren Favoriten hinzuzufügen.</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>Favoriten</translation>
    </message>
</context>
<context>
    <name>SearchPage</name>
    <message>
        <source>Preview of the template %1</source>
        <translation>Vorschau der Vorlage %1</translation>
    </message>
    <message>
        <source>en</source>
        <extracomment>The code of this translation&apos;s language, as a web page names it (&quot;de&quot;, &quot;fr&quot;).</extracomment>
        <translation>de</translation>
    </message>
</context>
<context>
    <name>SendCheck</name>
    <message>
        <source>%1 is not supported by %2.</source>
        <translation>%1 wird von %2 nicht unterstützt.</translation>
    </message>
    <message>
        <source>Nothing is known of %1 in %2: try it there.</source>
        <translation>Über %1 in %2 ist nichts bekannt: Probieren Sie es dort aus.</translation>
    </message>
    <message>
        <source>%1 is not supported by %2, and the template does without it there: %3</source>
        <translation>%1 wird von %2 nicht unterstützt, und die Vorlage kommt dort ohne aus: %3</translation>
    </message>
    <message>
        <source>%1 (%2 points): %3. Your mailing program or server adds what it misses when it sends the message.</source>
        <translation>%1 (%2 Punkte): %3. Ihr Versandprogramm oder Server ergänzt, was fehlt, wenn es die Nachricht sendet.</translation>
    </message>
    <message>
        <source>%1 (%2 points): %3. Filters distrust messages that are mostly pictures; give the pictures some words around them.</source>
        <translation>%1 (%2 Punkte): %3. Filter misstrauen Nachrichten, die fast nur aus Bildern bestehen; geben Sie den Bildern etwas Text zur Seite.</translation>
    </message>
    <message>
        <source>%1 (%2 points): %3.</source>
        <translation>%1 (%2 Punkte): %3.</translation>
    </message>
    <message>
        <source>The spam check was not asked for.</source>
        <translation>Die Spamprüfung wurde nicht angefordert.</translation>
    </message>
    <message>
        <source>SpamAssassin is not installed, so the message was not scored. Install it with &quot;sudo apt install spamassassin&quot; (or scripts/install-deps).</source>
        <translation>SpamAssassin ist nicht installiert, daher wurde die Nachricht nicht bewertet. Installieren Sie es mit „sudo apt install spamassassin“ (oder scripts/install-deps).</translation>
    </message>
    <message>
        <source>The spam check did not finish: %1.</source>
        <translation>Die Spamprüfung wurde nicht fertig: %1.</translation>
    </message>
    <message>
        <source>SpamAssassin scores the message %1 points; filters commonly take %2 or more for spam.</source>
        <translation>SpamAssassin bewertet die Nachricht mit %1 Punkten; Filter halten meist %2 oder mehr für Spam.</translation>
    </message>
    <message>
        <source>%1 of them are for headers that sending adds.</source>
        <translation>%1 davon betreffen Kopfzeilen, die beim Senden hinzukommen.</translation>
    </message>
    <message>
        <source>The page does not say its language (lang on &lt;html&gt;): screen readers may read it in the wrong voice.</source>
        <translation>Die Seite nennt ihre Sprache nicht (lang an &lt;html&gt;): Bildschirmleser lesen sie womöglich mit der falschen Stimme vor.</translation>
    </message>
    <message>
        <source>The page holds right-to-left text but no dir attribute: set dir=&quot;rtl&quot; where it is, so that it reads and aligns the right way.</source>
        <translation>Die Seite enthält Text von rechts nach links, aber kein dir-Attribut: Setzen Sie dort dir=&quot;rtl&quot;, damit er richtig gelesen und ausgerichtet wird.</translation>
    </message>
    <message>
        <source>A picture has no alt text: screen readers and mail programs that block pictures show nothing (or its file name) in its place. Give it words, or alt=&quot;&quot; when it is only decoration.</source>
        <translation>Ein Bild hat keinen Alternativtext: Bildschirmleser und Mailprogramme, die Bilder sperren, zeigen an seiner Stelle nichts (oder seinen Dateinamen). Geben Sie ihm Worte, oder alt=&quot;&quot;, wenn es nur Schmuck ist.</translation>
    </message>
    <message>
        <source>A decorative picture has no alt attribute: give it alt=&quot;&quot;, so that screen readers pass over it.</source>
        <translation>Ein schmückendes Bild hat kein alt-Attribut: Geben Sie ihm alt=&quot;&quot;, damit Bildschirmleser es übergehen.</translation>
    </message>
    <message>
        <source>A decorative picture has alt text (&quot;%1&quot;): screen readers read it out. Give it alt=&quot;&quot;.</source>
        <translation>Ein schmückendes Bild hat einen Alternativtext („%1“): Bildschirmleser lesen ihn vor. Geben Sie ihm alt=&quot;&quot;.</translation>
    </message>
    <message>
        <source>A layout table is not marked role=&quot;presentation&quot;: screen readers announce its rows and columns.</source>
        <translation>Eine Layouttabelle ist nicht mit role=&quot;presentation&quot; gekennzeichnet: Bildschirmleser sagen ihre Zeilen und Spalten an.</translation>
    </message>
    <message>
        <source>The first heading is &lt;h%1&gt;: start with &lt;h1&gt; or &lt;h2&gt;, so that the outline a screen reader offers begins at the top.</source>
        <translation>Die erste Überschrift ist &lt;h%1&gt;: Beginnen Sie mit &lt;h1&gt; oder &lt;h2&gt;, damit die Gliederung eines Bildschirmlesers oben anfängt.</translation>
    </message>
    <message>
        <source>&lt;h%1&gt; follows &lt;h%2&gt;: a heading level is skipped.</source>
        <translation>&lt;h%1&gt; folgt auf &lt;h%2&gt;: Eine Überschriftenebene wird übersprungen.</translation>
    </message>
    <message>
        <source>A link has no words (nor alt text on its picture): a screen reader announces only &quot;link&quot;.</source>
        <translation>Ein Link hat keine Worte (und sein Bild keinen Alternativtext): Ein Bildschirmleser sagt nur „Link“ an.</translation>
    </message>
    <message>
        <source>The link &quot;%1&quot; makes no sense read on its own, as screen readers list links: say where it leads.</source>
        <translation>Der Link „%1“ ergibt für sich allein gelesen keinen Sinn, wie Bildschirmleser Links auflisten: Sagen Sie, wohin er führt.</translation>
    </message>
    <message>
        <source>The message has no plain-text part: readers who take mail as text, and some filters, get nothing readable.</source>
        <translation>Die Nachricht hat keinen Nur-Text-Teil: Leser, die Mail als Text empfangen, und manche Filter bekommen nichts Lesbares.</translation>
    </message>
    <message>
        <source>The HTML is %1 KB: Gmail cuts messages over about 102 KB and hides the rest, with the unsubscribe link, behind &quot;View entire message&quot;.</source>
        <translation>Das HTML ist %1 KB groß: Gmail kürzt Nachrichten über etwa 102 KB und versteckt den Rest samt Abmeldelink hinter „Gesamte Nachricht anzeigen“.</translation>
    </message>
    <message>
        <source>The HTML is %1 KB, close to the about 102 KB over which Gmail cuts a message: your mailing program&apos;s tracking links may push it over.</source>
        <translation>Das HTML ist %1 KB groß, nahe an den etwa 102 KB, ab denen Gmail eine Nachricht kürzt: Die Tracking-Links Ihres Versandprogramms können es darüber bringen.</translation>
    </message>
    <message>
        <source>The HTML is %1 KB, well below the about 102 KB over which Gmail cuts a message.</source>
        <translation>Das HTML ist %1 KB groß, deutlich unter den etwa 102 KB, ab denen Gmail eine Nachricht kürzt.</translation>
    </message>
    <message>
        <source>A picture of %1 px (%2 KB) is shown %3 px wide: scaled to %4 px it would load much faster and look as sharp.</source>
        <translation>Ein Bild von %1 px (%2 KB) wird %3 px breit gezeigt: Auf %4 px verkleinert lädt es viel schneller und sieht ebenso scharf aus.</translation>
    </message>
    <message>
        <source>A picture of %1 px is shown %2 px wide: it is blurred on every screen. Use one of %3 px.</source>
        <translation>Ein Bild von %1 px wird %2 px breit gezeigt: Es ist auf jedem Bildschirm unscharf. Verwenden Sie eines mit %3 px.</translation>
    </message>
    <message>
        <source>A picture of %1 px is shown %2 px wide: it looks soft on sharp (2x) screens, which want %3 px.</source>
        <translation>Ein Bild von %1 px wird %2 px breit gezeigt: Auf hochauflösenden (2x) Bildschirmen, die %3 px brauchen, wirkt es weich.</translation>
    </message>
    <message>
        <source>The pictures weigh %1 KB together: on a phone&apos;s connection the message opens slowly, and some mail programs drop large messages.</source>
        <translation>Die Bilder sind zusammen %1 KB groß: Über die Verbindung eines Telefons öffnet sich die Nachricht langsam, und manche Mailprogramme verwerfen große Nachrichten.</translation>
    </message>
    <message>
        <source>The pictures weigh %1 KB together: more than 1 MB is slow on a phone&apos;s connection.</source>
        <translation>Die Bilder sind zusammen %1 KB groß: Mehr als 1 MB ist über die Verbindung eines Telefons langsam.</translation>
    </message>
    <message>
        <source>The pictures weigh %1 KB together.</source>
        <translation>Die Bilder sind zusammen %1 KB groß.</translation>
    </message>
    <message numerus="yes">
        <source>%n pictures load from the web; they are not weighed here.</source>
        <translation>
            <numerusform>%n Bild wird aus dem Web geladen; es ist hier nicht mitgewogen.</numerusform>
            <numerusform>%n Bilder werden aus dem Web geladen; sie sind hier nicht mitgewogen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n pictures past the first %1 were not looked at.</source>
        <translation>
            <numerusform>%n Bild nach den ersten %1 wurde nicht angesehen.</numerusform>
            <numerusform>%n Bilder nach den ersten %1 wurden nicht angesehen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Replace %1 with your own address before sending.</source>
        <translation>Ersetzen Sie %1 vor dem Senden durch Ihre eigene Adresse.</translation>
    </message>
    <message>
        <source>Replace %1 (“%2”) with your own address before sending.</source>
        <translation>Ersetzen Sie %1 („%2“) vor dem Senden durch Ihre eigene Adresse.</translation>
    </message>
    <message numerus="yes">
        <source>%n links past the first %1 were not listed or checked.</source>
        <translation>
            <numerusform>%n Link nach den ersten %1 wurde weder aufgeführt noch geprüft.</numerusform>
            <numerusform>%n Links nach den ersten %1 wurden weder aufgeführt noch geprüft.</numerusform>
        </translation>
    </message>
    <message>
        <source>The message has no HTML part.</source>
        <translation>Die Nachricht hat keinen HTML-Teil.</translation>
    </message>
    <message>
        <source>The HTML is %1 KB, more than the %2 KB this check reads.</source>
        <translation>Das HTML ist %1 KB groß, mehr als die %2 KB, die diese Prüfung liest.</translation>
    </message>
    <message>
        <source>Only the first %1 elements of the page were checked.</source>
        <translation>Nur die ersten %1 Elemente der Seite wurden geprüft.</translation>
    </message>
    <message>
        <source>Text in %1 on %2 has a contrast of %3:1; text of this size needs %4:1 to be read easily.</source>
        <translation>Text in %1 auf %2 hat einen Kontrast von %3:1; Text dieser Größe braucht %4:1, um gut lesbar zu sein.</translation>
    </message>
    <message>
        <source>Text of %1 px on a phone is hard to read; use at least 14 px.</source>
        <translation>Text von %1 px ist auf einem Telefon schwer zu lesen; verwenden Sie mindestens 14 px.</translation>
    </message>
    <message>
        <source>Mail programs</source>
        <translation>Mailprogramme</translation>
    </message>
    <message>
        <source>Spam</source>
        <translation>Spam</translation>
    </message>
    <message>
        <source>Accessibility</source>
        <translation>Barrierefreiheit</translation>
    </message>
    <message>
        <source>Size and pictures</source>
        <translation>Größe und Bilder</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>passes</source>
        <translation>bestanden</translation>
    </message>
    <message>
        <source>warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>problems</source>
        <translation>Probleme</translation>
    </message>
    <message>
        <source>note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>%1 of %2 points</source>
        <translation>%1 von %2 Punkten</translation>
    </message>
    <message>
        <source>not everything was checked</source>
        <translation>nicht alles wurde geprüft</translation>
    </message>
    <message>
        <source>&lt;%1&gt; %2, HTML line %3</source>
        <translation>&lt;%1&gt; %2, HTML-Zeile %3</translation>
    </message>
    <message>
        <source>not checked</source>
        <translation>nicht geprüft</translation>
    </message>
    <message>
        <source>link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Verdict: %1</source>
        <translation>Ergebnis: %1</translation>
    </message>
    <message>
        <source>SpamAssassin gave no report that could be read</source>
        <translation>SpamAssassin lieferte keinen lesbaren Bericht</translation>
    </message>
    <message>
        <source>SpamAssassin (%1) could not be started: %2</source>
        <translation>SpamAssassin (%1) konnte nicht gestartet werden: %2</translation>
    </message>
    <message numerus="yes">
        <source>SpamAssassin was stopped after %n seconds</source>
        <translation>
            <numerusform>SpamAssassin wurde nach %n Sekunde angehalten</numerusform>
            <numerusform>SpamAssassin wurde nach %n Sekunden angehalten</numerusform>
        </translation>
    </message>
    <message>
        <source>SpamAssassin crashed</source>
        <translation>SpamAssassin ist abgestürzt</translation>
    </message>
    <message numerus="yes">
        <source>The words of %n links past the first 2000 were not checked.</source>
        <translation>
            <numerusform>Die Worte von %n Link nach den ersten 2000 wurden nicht geprüft.</numerusform>
            <numerusform>Die Worte von %n Links nach den ersten 2000 wurden nicht geprüft.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SendTestDialog</name>
    <message>
        <source>Send a test</source>
        <translation>Test senden</translation>
    </message>
    <message>
        <source>No template is previewed.</source>
        <translation>Es wird keine Vorlage in der Vorschau angezeigt.</translation>
    </message>
    <message>
        <source>Sends “%1” as a test, with “[Test]” before its subject and sample values in its merge fields.</source>
        <translation>Sendet „%1“ als Test, mit „[Test]“ vor dem Betreff und Beispielwerten in den Seriendruckfeldern.</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>name@example.com, another@example.com</source>
        <translation>name@example.com, andere@example.com</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>&amp;An:</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>&amp;New…</source>
        <translation>&amp;Neu…</translation>
    </message>
    <message>
        <source>New account</source>
        <translation>Neues Konto</translation>
    </message>
    <message>
        <source>&amp;Edit…</source>
        <translation>&amp;Bearbeiten…</translation>
    </message>
    <message>
        <source>Edit the account</source>
        <translation>Das Konto bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove the account</source>
        <translation>Das Konto entfernen</translation>
    </message>
    <message>
        <source>&amp;Account:</source>
        <translation>&amp;Konto:</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Senden</translation>
    </message>
    <message>
        <source>No account is set up yet: choose “New…” and enter your mail provider&apos;s SMTP server.</source>
        <translation>Es ist noch kein Konto eingerichtet: Wählen Sie „Neu…“ und geben Sie den SMTP-Server Ihres E-Mail-Anbieters ein.</translation>
    </message>
    <message>
        <source>The password will be asked for each time.</source>
        <translation>Das Passwort wird jedes Mal erfragt.</translation>
    </message>
    <message>
        <source>The account “%1” is set up.</source>
        <translation>Das Konto „%1“ ist eingerichtet.</translation>
    </message>
    <message>
        <source>The account “%1” is changed.</source>
        <translation>Das Konto „%1“ ist geändert.</translation>
    </message>
    <message>
        <source>The account “%1” is removed.</source>
        <translation>Das Konto „%1“ ist entfernt.</translation>
    </message>
    <message>
        <source>No keyring answered (%1), so the password cannot be kept and is asked for each time.</source>
        <translation>Kein Schlüsselbund hat geantwortet (%1), daher kann das Passwort nicht aufbewahrt werden und wird jedes Mal erfragt.</translation>
    </message>
    <message>
        <source>The keyring holds no password for this account; it keeps the one you enter.</source>
        <translation>Der Schlüsselbund enthält kein Passwort für dieses Konto; er bewahrt das auf, das Sie eingeben.</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Password of %1 for the account “%2”.
%3</source>
        <translation>Passwort von %1 für das Konto „%2“.
%3</translation>
    </message>
    <message>
        <source>Type at least one address to send the test to.</source>
        <translation>Geben Sie mindestens eine Adresse ein, an die der Test gehen soll.</translation>
    </message>
    <message>
        <source>Choose an account, or set one up with “New…”.</source>
        <translation>Wählen Sie ein Konto, oder richten Sie eines mit „Neu…“ ein.</translation>
    </message>
    <message>
        <source>Nothing was sent.</source>
        <translation>Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Sending to %1…</source>
        <translation>Wird an %1 gesendet…</translation>
    </message>
    <message>
        <source>Sent to %1.</source>
        <translation>Gesendet an %1.</translation>
    </message>
    <message>
        <source>Not sent to %1: %2</source>
        <translation>Nicht gesendet an %1: %2</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Cancel the send</source>
        <translation>Das Senden abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ServiceExport</name>
    <message>
        <source>not a complete web address</source>
        <translation>keine vollständige Webadresse</translation>
    </message>
    <message>
        <source>the address must start with https://</source>
        <translation>die Adresse muss mit https:// beginnen</translation>
    </message>
    <message>
        <source>the address must not hold a user name or password</source>
        <translation>die Adresse darf keinen Benutzernamen und kein Passwort enthalten</translation>
    </message>
    <message>
        <source>the address of a folder has no &quot;?&quot; or &quot;#&quot; part</source>
        <translation>die Adresse eines Ordners hat keinen Teil mit &quot;?&quot; oder &quot;#&quot;</translation>
    </message>
    <message>
        <source>the address holds a character that a page cannot name a picture with unescaped</source>
        <translation>die Adresse enthält ein Zeichen, mit dem eine Seite ein Bild nicht unmaskiert benennen kann</translation>
    </message>
</context>
<context>
    <name>ServiceExportDialog</name>
    <message>
        <source>Export for a mailing service</source>
        <translation>Für einen Mailing-Dienst exportieren</translation>
    </message>
    <message>
        <source>Mailing service</source>
        <translation>Mailing-Dienst</translation>
    </message>
    <message>
        <source>&amp;Mailing service:</source>
        <translation>&amp;Mailing-Dienst:</translation>
    </message>
    <message>
        <source>&amp;Images in the zip, beside index.html</source>
        <translation>&amp;Bilder im Zip, neben index.html</translation>
    </message>
    <message>
        <source>Images &amp;hosted at this web address:</source>
        <translation>Bilder unter dieser &amp;Webadresse bereitgestellt:</translation>
    </message>
    <message>
        <source>Web address of the images</source>
        <translation>Webadresse der Bilder</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>&amp;Exportieren…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>stays %1 (this service has no tag for it)</source>
        <translation>bleibt %1 (dieser Dienst hat kein Tag dafür)</translation>
    </message>
    <message>
        <source>Merge tags written:</source>
        <translation>Geschriebene Platzhalter-Tags:</translation>
    </message>
</context>
<context>
    <name>ShortcutOverview</name>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>SmtpSender</name>
    <message>
        <source>the server refused this address (reply %1)</source>
        <translation>der Server hat diese Adresse abgelehnt (Antwort %1)</translation>
    </message>
    <message>
        <source>the message (%1 KB) is too large for this server. Leave out images or use another account.</source>
        <translation>die Nachricht (%1 KB) ist für diesen Server zu groß. Lassen Sie Bilder weg oder nehmen Sie ein anderes Konto.</translation>
    </message>
    <message>
        <source>the server wants a login. Enter the user name and password of the account.</source>
        <translation>der Server verlangt eine Anmeldung. Geben Sie Benutzername und Passwort des Kontos ein.</translation>
    </message>
    <message>
        <source>no server of this name is known (%1). Check the host name and that this computer is online.</source>
        <translation>kein Server dieses Namens ist bekannt (%1). Prüfen Sie den Hostnamen und ob dieser Computer online ist.</translation>
    </message>
    <message>
        <source>the server cannot be reached (%1). Check the host name and the port, and that this computer is online.</source>
        <translation>der Server ist nicht erreichbar (%1). Prüfen Sie Hostnamen und Port und ob dieser Computer online ist.</translation>
    </message>
    <message>
        <source>the server&apos;s certificate is not trusted (%1). Nothing was sent, and nothing is sent unencrypted. Check the host name, or ask the server&apos;s administrator.</source>
        <translation>dem Zertifikat des Servers wird nicht vertraut (%1). Es wurde nichts gesendet, und unverschlüsselt wird nichts gesendet. Prüfen Sie den Hostnamen oder fragen Sie den Betreiber des Servers.</translation>
    </message>
    <message>
        <source>a secure connection could not be made (%1). Check the security: STARTTLS usually uses port 587, TLS port 465.</source>
        <translation>es konnte keine sichere Verbindung hergestellt werden (%1). Prüfen Sie die Sicherheit: STARTTLS nutzt meist Port 587, TLS Port 465.</translation>
    </message>
    <message>
        <source>the trusted certificates in %1 cannot be read.</source>
        <translation>die vertrauenswürdigen Zertifikate in %1 können nicht gelesen werden.</translation>
    </message>
    <message>
        <source>the server does not offer STARTTLS, and the message is never sent unencrypted. Choose TLS, or another server.</source>
        <translation>der Server bietet kein STARTTLS an, und die Nachricht wird nie unverschlüsselt gesendet. Wählen Sie TLS oder einen anderen Server.</translation>
    </message>
    <message>
        <source>the server refused the login of user &quot;%1&quot;. Check the user name and the password.</source>
        <translation>der Server hat die Anmeldung von Benutzer „%1“ abgelehnt. Prüfen Sie Benutzername und Passwort.</translation>
    </message>
    <message>
        <source>the server did not answer within %1 seconds. Try again later, or check the port and the security.</source>
        <translation>der Server hat nicht innerhalb von %1 Sekunden geantwortet. Versuchen Sie es später noch einmal oder prüfen Sie Port und Sicherheit.</translation>
    </message>
    <message>
        <source>sending was cancelled.</source>
        <translation>das Senden wurde abgebrochen.</translation>
    </message>
    <message>
        <source>sending failed (%1).</source>
        <translation>das Senden ist fehlgeschlagen (%1).</translation>
    </message>
    <message>
        <source>%1: the account names no server; enter its host and port.</source>
        <translation>%1: Das Konto nennt keinen Server; geben Sie Host und Port ein.</translation>
    </message>
    <message>
        <source>%1: sending without encryption is allowed only to this computer. Choose STARTTLS or TLS.</source>
        <translation>%1: Senden ohne Verschlüsselung ist nur an diesen Computer erlaubt. Wählen Sie STARTTLS oder TLS.</translation>
    </message>
    <message>
        <source>%1: the sender address &quot;%2&quot; is not an e-mail address.</source>
        <translation>%1: Die Absenderadresse „%2“ ist keine E-Mail-Adresse.</translation>
    </message>
    <message>
        <source>%1: no recipient is given.</source>
        <translation>%1: Es ist kein Empfänger angegeben.</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not an e-mail address.</source>
        <translation>%1: „%2“ ist keine E-Mail-Adresse.</translation>
    </message>
    <message>
        <source>%1: sending failed (out of memory).</source>
        <translation>%1: Das Senden ist fehlgeschlagen (kein Speicher mehr).</translation>
    </message>
    <message>
        <source>%1: the server refused every recipient: %2</source>
        <translation>%1: Der Server hat jeden Empfänger abgelehnt: %2</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>TemplateDecoding</name>
    <message>
        <source>truncated: %1 bytes, too short for the 4-byte count</source>
        <translation>abgeschnitten: %1 Bytes, zu kurz für die 4-Byte-Längenangabe</translation>
    </message>
    <message>
        <source>corrupt: negative count %1</source>
        <translation>beschädigt: negative Längenangabe %1</translation>
    </message>
    <message>
        <source>truncated: the count says %1 bytes, only %2 follow</source>
        <translation>abgeschnitten: die Längenangabe nennt %1 Bytes, es folgen nur %2</translation>
    </message>
</context>
<context>
    <name>TemplateEdits</name>
    <message>
        <source>The link “%1” cannot be used: %2</source>
        <translation>Der Link „%1“ kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>A link needs a target, such as https://example.com.</source>
        <translation>Ein Link braucht ein Ziel, etwa https://example.com.</translation>
    </message>
    <message>
        <source>it names no web address; start it with https://</source>
        <translation>er nennt keine Webadresse; beginnen Sie ihn mit https://</translation>
    </message>
    <message>
        <source>it would run a script</source>
        <translation>er würde ein Skript ausführen</translation>
    </message>
    <message>
        <source>it carries its content in the link (data:)</source>
        <translation>er trägt seinen Inhalt im Link selbst (data:)</translation>
    </message>
    <message>
        <source>it points at a file of this computer</source>
        <translation>er zeigt auf eine Datei dieses Computers</translation>
    </message>
    <message>
        <source>a link can go to a web or mail address or a telephone number only</source>
        <translation>ein Link kann nur zu einer Web- oder E-Mail-Adresse oder einer Telefonnummer führen</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>diese Datei gibt es nicht</translation>
    </message>
    <message>
        <source>the picture is larger than %1 bytes</source>
        <translation>das Bild ist größer als %1 Byte</translation>
    </message>
    <message>
        <source>this is not a picture in PNG, JPEG, GIF or WebP</source>
        <translation>dies ist kein Bild im Format PNG, JPEG, GIF oder WebP</translation>
    </message>
    <message>
        <source>the picture is %1 × %2 pixels; it may have at most %3 on a side</source>
        <translation>das Bild ist %1 × %2 Pixel groß; es darf je Seite höchstens %3 haben</translation>
    </message>
    <message>
        <source>the picture cannot be read: %1</source>
        <translation>das Bild kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the picture cannot be converted</source>
        <translation>das Bild kann nicht umgewandelt werden</translation>
    </message>
    <message>
        <source>The template has no part %1 to change; it has %2.</source>
        <translation>Die Vorlage hat keinen Teil %1 zum Ändern; sie hat %2.</translation>
    </message>
    <message>
        <source>Part %1 is a picture and has no words.</source>
        <translation>Teil %1 ist ein Bild und hat keinen Text.</translation>
    </message>
    <message>
        <source>Part %1 holds words, not a picture.</source>
        <translation>Teil %1 enthält Text, kein Bild.</translation>
    </message>
    <message>
        <source>Part %1 is not a link.</source>
        <translation>Teil %1 ist kein Link.</translation>
    </message>
    <message>
        <source>the folder cannot be made</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>TemplateExport</name>
    <message>
        <source>No template is previewed.</source>
        <translation>Es wird keine Vorlage in der Vorschau angezeigt.</translation>
    </message>
    <message>
        <source>a folder of this name is in the way</source>
        <translation>ein Ordner mit diesem Namen ist im Weg</translation>
    </message>
    <message>
        <source>this is the file being exported</source>
        <translation>das ist die Datei, die exportiert wird</translation>
    </message>
    <message>
        <source>the message cannot be exported (%1)</source>
        <translation>die Nachricht kann nicht exportiert werden (%1)</translation>
    </message>
    <message>
        <source>not the full path of a file</source>
        <translation>kein vollständiger Pfad zu einer Datei</translation>
    </message>
    <message>
        <source>a file of this name is in the way of the images folder</source>
        <translation>eine Datei mit diesem Namen steht dem Bilderordner im Weg</translation>
    </message>
    <message>
        <source>a folder of this name is in the way of the images folder</source>
        <translation>ein Ordner mit diesem Namen steht dem Bilderordner im Weg</translation>
    </message>
    <message>
        <source>the page being replaced does not use this file, so it is kept, but the new export has a file of this name; move or rename it and export again</source>
        <translation>die ersetzte Seite verwendet diese Datei nicht, daher bleibt sie erhalten, aber der neue Export enthält eine Datei mit diesem Namen; verschieben oder benennen Sie sie um und exportieren Sie erneut</translation>
    </message>
</context>
<context>
    <name>TemplateImport</name>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>a template must not hold this: </source>
        <translation>eine Vorlage darf Folgendes nicht enthalten: </translation>
    </message>
    <message>
        <source>the image “%1” it shows is missing (looked for %2)</source>
        <translation>das Bild „%1“, das sie zeigt, fehlt (gesucht: %2)</translation>
    </message>
    <message>
        <source>the page shows it as an image, but it is %1</source>
        <translation>die Seite zeigt es als Bild, es ist aber %1</translation>
    </message>
    <message>
        <source>the page and its images are larger than %1 bytes</source>
        <translation>die Seite und ihre Bilder sind größer als %1 Bytes</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>the picture “%1” is shown as a background, which a template cannot carry; show it with an &lt;img&gt; element</source>
        <translation>das Bild „%1“ wird als Hintergrund gezeigt, was eine Vorlage nicht mitführen kann; zeigen Sie es mit einem &lt;img&gt;-Element</translation>
    </message>
    <message>
        <source>the page is empty</source>
        <translation>die Seite ist leer</translation>
    </message>
    <message>
        <source>this is not a message</source>
        <translation>das ist keine Nachricht</translation>
    </message>
    <message>
        <source>the message holds no HTML part</source>
        <translation>die Nachricht enthält keinen HTML-Teil</translation>
    </message>
    <message>
        <source>no working folder</source>
        <translation>kein Arbeitsordner</translation>
    </message>
    <message>
        <source>the message cannot be read whole: </source>
        <translation>die Nachricht kann nicht vollständig gelesen werden: </translation>
    </message>
    <message>
        <source>the message shows a picture as a background (%1), which a template cannot carry</source>
        <translation>die Nachricht zeigt ein Bild als Hintergrund (%1), was eine Vorlage nicht mitführen kann</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>diese Datei gibt es nicht</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes</source>
        <translation>die Datei ist größer als %1 Bytes</translation>
    </message>
    <message>
        <source>only a message (.eml) or a page (.htm, .html) can be added</source>
        <translation>nur eine Nachricht (.eml) oder eine Seite (.htm, .html) kann hinzugefügt werden</translation>
    </message>
    <message>
        <source>the image “%1” it shows names no file of the page&apos;s folder (a path from the root, or an encoded &quot;/&quot; in a name)</source>
        <translation>das Bild „%1“, das sie zeigt, nennt keine Datei aus dem Ordner der Seite (ein Pfad ab der Wurzel oder ein kodiertes „/“ in einem Namen)</translation>
    </message>
    <message>
        <source>the image “%1” it shows lies outside the page&apos;s folder (it is %2); a template carries only pictures from beside its page</source>
        <translation>das Bild „%1“, das sie zeigt, liegt außerhalb des Ordners der Seite (es ist %2); eine Vorlage nimmt nur Bilder von neben ihrer Seite mit</translation>
    </message>
    <message>
        <source>the image “%1” it shows is not a regular file (%2)</source>
        <translation>das Bild „%1“, das sie zeigt, ist keine gewöhnliche Datei (%2)</translation>
    </message>
    <message>
        <source>the image “%1” is larger than %2 bytes</source>
        <translation>das Bild „%1“ ist größer als %2 Bytes</translation>
    </message>
    <message>
        <source>the image “%1” it shows is a file of this computer</source>
        <translation>das Bild „%1“, das sie zeigt, ist eine Datei dieses Computers</translation>
    </message>
    <message>
        <source>its %1 is %2 characters long; a template&apos;s %1 can have at most %3, as one line of a message holds</source>
        <translation>der Kopf %1 ist %2 Zeichen lang; der Kopf %1 einer Vorlage darf höchstens %3 haben, so viel wie eine Zeile einer Nachricht fasst</translation>
    </message>
</context>
<context>
    <name>TemplateLibrary</name>
    <message>
        <source>the %1 is a link to a missing file</source>
        <translation>die %1 ist eine Verknüpfung zu einer fehlenden Datei</translation>
    </message>
    <message>
        <source>the %1 is missing</source>
        <translation>die %1 fehlt</translation>
    </message>
    <message>
        <source>the %1 leads out of the template library (to %2) and is not opened</source>
        <extracomment>%1 is the kind of entry: &quot;category page&quot; or &quot;template file&quot;</extracomment>
        <translation>die %1 führt aus der Vorlagenbibliothek hinaus (nach %2) und wird nicht geöffnet</translation>
    </message>
    <message>
        <source>the %1 is not a regular file and is not opened</source>
        <extracomment>%1 is the kind of entry: &quot;category page&quot; or &quot;template file&quot;</extracomment>
        <translation>die %1 ist keine reguläre Datei und wird nicht geöffnet</translation>
    </message>
    <message>
        <source>no category is chosen</source>
        <translation>keine Kategorie gewählt</translation>
    </message>
    <message>
        <source>category page</source>
        <translation>Kategorieseite</translation>
    </message>
    <message>
        <source>no template is chosen</source>
        <translation>keine Vorlage gewählt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a plain file name and is not opened</source>
        <translation>„%1“ ist kein einfacher Dateiname und wird nicht geöffnet</translation>
    </message>
    <message>
        <source>template file</source>
        <translation>Vorlagendatei</translation>
    </message>
    <message>
        <source>the folder is a link that leads out of the template library (to %1) and is not used</source>
        <translation>der Ordner ist eine Verknüpfung, die aus der Vorlagenbibliothek hinausführt (nach %1), und wird nicht verwendet</translation>
    </message>
</context>
<context>
    <name>TemplateStaging</name>
    <message>
        <source>%1: the template is not a readable message (%2)</source>
        <translation>%1: die Vorlage ist keine lesbare Nachricht (%2)</translation>
    </message>
    <message>
        <source>%1: the template cannot be decoded (%2)</source>
        <translation>%1: die Vorlage kann nicht dekodiert werden (%2)</translation>
    </message>
    <message>
        <source>%1: the folder cannot be created</source>
        <translation>%1: der Ordner kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>TestSend</name>
    <message>
        <source>The accounts could not be stored in the settings file.</source>
        <translation>Die Konten konnten nicht in der Einstellungsdatei gespeichert werden.</translation>
    </message>
    <message>
        <source>%1: no such account; no account is set up yet.</source>
        <translation>%1: Dieses Konto gibt es nicht; es ist noch kein Konto eingerichtet.</translation>
    </message>
    <message>
        <source>%1: no such account; there are: %2</source>
        <translation>%1: Dieses Konto gibt es nicht; vorhanden sind: %2</translation>
    </message>
    <message>
        <source>The template&apos;s message cannot be sent: %1</source>
        <translation>Die Nachricht der Vorlage kann nicht gesendet werden: %1</translation>
    </message>
</context>
<context>
    <name>ThumbnailRenderer</name>
    <message>
        <source>: no working folder for the thumbnail</source>
        <translation>: kein Arbeitsordner für das Vorschaubild</translation>
    </message>
    <message>
        <source>: there is no page to draw: </source>
        <translation>: es gibt keine Seite zum Zeichnen: </translation>
    </message>
    <message>
        <source>: the thumbnail cannot be encoded</source>
        <translation>: das Vorschaubild kann nicht kodiert werden</translation>
    </message>
</context>
<context>
    <name>UserLibrary</name>
    <message>
        <source>%1 is a shipped template; only your own templates can be changed</source>
        <translation>%1 ist eine mitgelieferte Vorlage; nur Ihre eigenen Vorlagen können geändert werden</translation>
    </message>
    <message>
        <source>%1: there is no template of yours by that name</source>
        <translation>%1: Sie haben keine Vorlage mit diesem Namen</translation>
    </message>
    <message>
        <source>A template needs a name.</source>
        <translation>Eine Vorlage braucht einen Namen.</translation>
    </message>
    <message>
        <source>%1: a name must not begin or end with a space</source>
        <translation>%1: ein Name darf nicht mit einem Leerzeichen beginnen oder enden</translation>
    </message>
    <message>
        <source>%1 is not a plain file name (no &quot;/&quot;, &quot;\&quot;, &quot;:&quot;, control characters or leading &quot;.&quot;)</source>
        <translation>%1 ist kein einfacher Dateiname (kein „/“, „\“, „:“, keine Steuerzeichen und kein „.“ am Anfang)</translation>
    </message>
    <message>
        <source>%1: a name cannot hold &quot; &amp; &lt; &gt; %% or #, which a category page&apos;s link would not keep</source>
        <translation>%1: ein Name darf weder &quot; &amp; &lt; &gt; %% noch # enthalten, die der Link einer Kategorieseite nicht bewahren würde</translation>
    </message>
    <message>
        <source>%1: the name is longer than 200 bytes</source>
        <translation>%1: der Name ist länger als 200 Bytes</translation>
    </message>
    <message>
        <source>%1: there is a template of that name already</source>
        <translation>%1: es gibt bereits eine Vorlage mit diesem Namen</translation>
    </message>
    <message>
        <source>%1: a category needs a name without spaces around it</source>
        <translation>%1: eine Kategorie braucht einen Namen ohne Leerzeichen am Anfang oder Ende</translation>
    </message>
    <message>
        <source>%1 is not a plain file name</source>
        <translation>%1 ist kein einfacher Dateiname</translation>
    </message>
    <message>
        <source>%1: the category list drops &quot;0&quot;, &quot;1&quot; and &quot;.html&quot; from a category&apos;s name</source>
        <translation>%1: die Kategorieliste entfernt „0“, „1“ und „.html“ aus dem Namen einer Kategorie</translation>
    </message>
    <message>
        <source>%1: a category&apos;s name cannot hold &quot; &amp; &lt; &gt; %% or #, nor be longer than 200 bytes</source>
        <translation>%1: der Name einer Kategorie darf weder &quot; &amp; &lt; &gt; %% noch # enthalten und nicht länger als 200 Bytes sein</translation>
    </message>
    <message>
        <source>%1 is a shipped category; pick a name of your own</source>
        <translation>%1 ist eine mitgelieferte Kategorie; wählen Sie einen eigenen Namen</translation>
    </message>
    <message>
        <source>%1 has that name already</source>
        <translation>%1 hat diesen Namen bereits</translation>
    </message>
    <message>
        <source>%1 is on none of your category pages</source>
        <translation>%1 steht auf keiner Ihrer Kategorieseiten</translation>
    </message>
    <message>
        <source>%1: a name cannot hold the invisible character %2, which changes how the name reads</source>
        <translation>%1: ein Name darf das unsichtbare Zeichen %2 nicht enthalten, das ändert, wie der Name sich liest</translation>
    </message>
    <message>
        <source>%1 reads the same as the template %2, which is there already; pick a name that looks different</source>
        <translation>%1 liest sich wie die Vorlage %2, die es schon gibt; wählen Sie einen Namen, der anders aussieht</translation>
    </message>
    <message>
        <source>%1 reads the same as the category %2, which is there already; use that name or one that looks different</source>
        <translation>%1 liest sich wie die Kategorie %2, die es schon gibt; nehmen Sie diesen Namen oder einen, der anders aussieht</translation>
    </message>
    <message>
        <source>%1: the page holds what this program did not write (links without their thumbnail, other links, or none at all), so it is left as it is; put it right by hand or remove it</source>
        <translation>%1: Die Seite enthält, was dieses Programm nicht geschrieben hat (Links ohne ihr Vorschaubild, andere Links oder gar keine), daher bleibt sie, wie sie ist; bringen Sie sie von Hand in Ordnung oder entfernen Sie sie</translation>
    </message>
    <message>
        <source>%1: the record of an unfinished change of your library is damaged; look at your templates and remove the file</source>
        <translation>%1: Die Aufzeichnung einer unvollendeten Änderung Ihrer Bibliothek ist beschädigt; sehen Sie Ihre Vorlagen durch und entfernen Sie die Datei</translation>
    </message>
    <message>
        <source>%1: another program keeps your library locked</source>
        <translation>%1: Ein anderes Programm hält Ihre Bibliothek gesperrt</translation>
    </message>
</context>
<context>
    <name>ViewBar</name>
    <message>
        <source>View</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>Desktop: the template as wide as the preview, as in a desktop mail program&apos;s reading pane</source>
        <translation>Desktop: die Vorlage so breit wie die Vorschau, wie im Lesebereich eines E-Mail-Programms am Computer</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Smartphone</translation>
    </message>
    <message>
        <source>Phone: the template on a screen %1 pixels wide, where its own rules for phones apply</source>
        <translation>Smartphone: die Vorlage auf einem %1 Pixel breiten Bildschirm, auf dem ihre eigenen Regeln für Smartphones gelten</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Light: the template&apos;s colours as they are</source>
        <translation>Hell: die Farben der Vorlage, wie sie sind</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
    </message>
    <message>
        <source>Dark: the template&apos;s own dark colours</source>
        <translation>Dunkel: die eigenen dunklen Farben der Vorlage</translation>
    </message>
    <message>
        <source>Inverted</source>
        <translation>Invertiert</translation>
    </message>
    <message>
        <source>Inverted: colours turned round, as some mail programs do to templates without dark colours</source>
        <translation>Invertiert: umgekehrte Farben, wie manche E-Mail-Programme sie Vorlagen ohne dunkle Farben geben</translation>
    </message>
    <message>
        <source>Next colours</source>
        <translation>Nächste Farben</translation>
    </message>
    <message>
        <source>Light, then Dark, then Inverted</source>
        <translation>Hell, dann Dunkel, dann Invertiert</translation>
    </message>
    <message>
        <source>Images blocked</source>
        <translation>Bilder blockiert</translation>
    </message>
    <message>
        <source>Images blocked: as a mail program that loads no pictures until asked, with their alternative texts</source>
        <translation>Bilder blockiert: wie in einem E-Mail-Programm, das Bilder erst auf Nachfrage lädt, mit ihren Alternativtexten</translation>
    </message>
    <message>
        <source>Plain text</source>
        <translation>Nur Text</translation>
    </message>
    <message>
        <source>Plain text: the message&apos;s plain-text part, as a reader of plain-text mail sees it</source>
        <translation>Nur Text: der Textteil der Nachricht, wie ihn ein Leser von Nur-Text-E-Mails sieht</translation>
    </message>
    <message>
        <source>Inbox line</source>
        <translation>Posteingangszeile</translation>
    </message>
    <message>
        <source>Inbox line: sender, subject and preheader as a mail list shows them, on a phone and on a desktop</source>
        <translation>Posteingangszeile: Absender, Betreff und Vorschautext, wie eine Nachrichtenliste sie zeigt, auf dem Smartphone und am Computer</translation>
    </message>
    <message>
        <source>Desktop width</source>
        <translation>Desktop-Breite</translation>
    </message>
    <message>
        <source>Phone width</source>
        <translation>Smartphone-Breite</translation>
    </message>
    <message>
        <source>View ▾</source>
        <translation>Ansicht ▾</translation>
    </message>
    <message>
        <source>How recipients will see the template: width, colours, images, plain text, inbox line</source>
        <translation>Wie Empfänger die Vorlage sehen werden: Breite, Farben, Bilder, Nur-Text, Posteingangszeile</translation>
    </message>
    <message>
        <source>the template&apos;s colours as they are. Next: Dark</source>
        <translation>die Farben der Vorlage, wie sie sind. Als Nächstes: Dunkel</translation>
    </message>
    <message>
        <source>the template&apos;s own dark colours, as mail programs that honour them show it. Next: Inverted</source>
        <translation>die eigenen dunklen Farben der Vorlage, wie E-Mail-Programme, die sie beachten, sie zeigen. Als Nächstes: Invertiert</translation>
    </message>
    <message>
        <source>this template has no dark colours of its own, so mail programs that honour them show it as it is. Next: Inverted</source>
        <translation>diese Vorlage hat keine eigenen dunklen Farben, daher zeigen E-Mail-Programme, die solche beachten, sie unverändert. Als Nächstes: Invertiert</translation>
    </message>
    <message>
        <source>an approximation of the colour inversion some mail programs apply to templates without dark colours. Next: Light</source>
        <translation>eine Annäherung an die Farbumkehr, die manche E-Mail-Programme auf Vorlagen ohne dunkle Farben anwenden. Als Nächstes: Hell</translation>
    </message>
    <message>
        <source>Colours: </source>
        <translation>Farben: </translation>
    </message>
    <message>
        <source>Colours: %1 — %2</source>
        <translation>Farben: %1 — %2</translation>
    </message>
    <message>
        <source>View: %1</source>
        <translation>Ansicht: %1</translation>
    </message>
    <message>
        <source>The preview&apos;s view: %1</source>
        <extracomment>In the keyboard-shortcut overview: %1 is a view of the preview (&quot;Phone&quot;).</extracomment>
        <translation>Ansicht der Vorschau: %1</translation>
    </message>
    <message>
        <source>In my brand</source>
        <translation>In meiner Marke</translation>
    </message>
    <message>
        <source>In my brand: the template with your brand&apos;s logo, name, colours and links, as the exports then write it</source>
        <translation>In meiner Marke: die Vorlage mit Logo, Name, Farben und Links Ihrer Marke, wie die Exporte sie dann schreiben</translation>
    </message>
    <message>
        <source>Edit brands…</source>
        <translation>Marken bearbeiten…</translation>
    </message>
    <message>
        <source>Edit your brands</source>
        <translation>Ihre Marken bearbeiten</translation>
    </message>
    <message>
        <source>Brand</source>
        <translation>Marke</translation>
    </message>
    <message>
        <source>No brands yet</source>
        <translation>Noch keine Marken</translation>
    </message>
    <message>
        <source>The brand could not be put on this template: %1</source>
        <translation>Die Marke konnte nicht auf diese Vorlage gelegt werden: %1</translation>
    </message>
    <message>
        <source>This template has no brand slots</source>
        <translation>Diese Vorlage hat keine Plätze für eine Marke</translation>
    </message>
    <message>
        <source>The template in your brand, or as shipped</source>
        <translation>Die Vorlage in Ihrer Marke oder wie ausgeliefert</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>Check: a report on the template before sending it, beside the preview: mail programs, spam, accessibility, size and links</source>
        <translation>Prüfen: ein Bericht über die Vorlage vor dem Versand, neben der Vorschau: Mailprogramme, Spam, Barrierefreiheit, Größe und Links</translation>
    </message>
    <message>
        <source>Check before sending</source>
        <translation>Vor dem Versand prüfen</translation>
    </message>
</context>
<context>
    <name>Workspace</name>
    <message>
        <source>%1: cannot create the folder: %2</source>
        <translation>%1: der Ordner kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>%1 is a link or not a folder, so it is not used</source>
        <translation>%1 ist eine Verknüpfung oder kein Ordner und wird daher nicht verwendet</translation>
    </message>
    <message>
        <source>%1 belongs to another user, so it is not used</source>
        <translation>%1 gehört einem anderen Benutzer und wird daher nicht verwendet</translation>
    </message>
    <message>
        <source>%1: cannot make it private: %2</source>
        <translation>%1: kann nicht privat gemacht werden: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a plain folder name</source>
        <translation>„%1“ ist kein einfacher Ordnername</translation>
    </message>
    <message>
        <source>the temp folder %1 does not exist</source>
        <translation>der temporäre Ordner %1 existiert nicht</translation>
    </message>
    <message>
        <source>%1: no free folder name for this copy</source>
        <translation>%1: kein freier Ordnername für diese Instanz des Programms</translation>
    </message>
    <message>
        <source>the temp folder %1 is writable by every user and has no sticky bit, so another user could replace the workspace in it; it is not used (set TMPDIR to a folder of your own, or give the folder the sticky bit: chmod +t)</source>
        <translation>der temporäre Ordner %1 ist für alle Benutzer beschreibbar und hat kein Sticky-Bit, sodass ein anderer Benutzer den Arbeitsordner darin ersetzen könnte; er wird nicht verwendet (setzen Sie TMPDIR auf einen eigenen Ordner oder geben Sie dem Ordner das Sticky-Bit: chmod +t)</translation>
    </message>
</context>
<context>
    <name>ZipArchive</name>
    <message>
        <source>an empty name in the archive</source>
        <translation>ein leerer Name im Archiv</translation>
    </message>
    <message>
        <source>an absolute path would be unpacked outside the folder</source>
        <translation>ein absoluter Pfad würde außerhalb des Ordners entpackt</translation>
    </message>
    <message>
        <source>a backslash or colon may lead outside the folder</source>
        <translation>ein Backslash oder Doppelpunkt kann aus dem Ordner hinausführen</translation>
    </message>
    <message>
        <source>a control character in the name</source>
        <translation>ein Steuerzeichen im Namen</translation>
    </message>
    <message>
        <source>an empty, &quot;.&quot; or &quot;..&quot; part may lead outside the folder</source>
        <translation>ein leerer Teil, &quot;.&quot; oder &quot;..&quot; kann aus dem Ordner hinausführen</translation>
    </message>
    <message>
        <source>the name is in the archive twice</source>
        <translation>der Name steht zweimal im Archiv</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Try &apos;quillery --help&apos;.</source>
        <translation>Weitere Informationen mit „quillery --help“.</translation>
    </message>
    <message>
        <source>%1: a gallery of ready-made e-mail newsletter templates.</source>
        <translation>%1: eine Sammlung fertiger Vorlagen für E-Mail-Newsletter.</translation>
    </message>
    <message>
        <source>Opens the template library in FOLDER (with categories/ and templates/, as quillery-library build writes it) instead of the one beside the program.</source>
        <translation>Öffnet die Vorlagenbibliothek in ORDNER (mit categories/ und templates/, wie quillery-library build sie schreibt) statt der neben dem Programm.</translation>
    </message>
    <message>
        <source>FOLDER</source>
        <extracomment>The placeholder of the --library option, also used in its description.</extracomment>
        <translation>ORDNER</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>The fonts templates are drawn with are missing (%1): templates are drawn with this computer&apos;s fonts, so their lines may break elsewhere than recipients see. ./scripts/install-deps installs them.</source>
        <translation>Die Schriften, mit denen Vorlagen gezeichnet werden, fehlen (%1): Vorlagen werden mit den Schriften dieses Computers gezeichnet, daher können ihre Zeilen anders umbrechen als bei den Empfängern. ./scripts/install-deps installiert sie.</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Pelorin</name>
    <message>
        <source>Pelorin</source>
        <translation>Pelorin</translation>
    </message>
    <message>
        <source>Export KML file</source>
        <translation>KML-Datei exportieren</translation>
    </message>
    <message>
        <source>Export geo referenced recordings to a KML file.</source>
        <translation>Georeferenzierte Aufnahmen in eine KML-Datei exportieren.</translation>
    </message>
</context>
</TS>

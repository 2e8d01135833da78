#pragma once

#include <QByteArray>

// A survey document as the survey writer lays it out: the transect's name, the track as one line per segment,
// a folder of waypoints and one folder per species whose placemarks carry their fields as ExtendedData. Three
// recordings of a listening stop share a position.
inline QByteArray surveyKml() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2">
<Document>
  <name>Meadow transect</name>
  <Style id="sp-Ppip"><IconStyle><color>ff0000ff</color></IconStyle></Style>
  <Placemark><name>Track</name>
    <MultiGeometry>
      <LineString><coordinates>9.5000,48.8500 9.5010,48.8505</coordinates></LineString>
      <LineString><coordinates>9.5030,48.8510 9.5040,48.8520</coordinates></LineString>
    </MultiGeometry>
  </Placemark>
  <Folder><name>Waypoints</name>
    <Placemark><name>Gate</name><Point><coordinates>9.5200,48.8700</coordinates></Point></Placemark>
  </Folder>
  <Folder><name>Ppip</name>
    <Placemark><name>Ppip</name><styleUrl>#sp-Ppip</styleUrl>
      <ExtendedData><Data name="filename"><value>rec1.wav</value></Data>
        <Data name="species"><value>Ppip</value></Data></ExtendedData>
      <Point><coordinates>9.5020,48.8508</coordinates></Point></Placemark>
    <Placemark><name>Ppip, Nnoc</name><styleUrl>#sp-Ppip</styleUrl>
      <ExtendedData><Data name="filename"><value>rec2.wav</value></Data>
        <Data name="species"><value>Ppip;Nnoc</value></Data></ExtendedData>
      <Point><coordinates>9.5020,48.8508</coordinates></Point></Placemark>
  </Folder>
  <Folder><name>Nnoc</name>
    <Placemark><name>Nnoc</name>
      <ExtendedData><Data name="filename"><value>rec3.wav</value></Data>
        <Data name="species"><value>Nnoc</value></Data></ExtendedData>
      <Point><coordinates>9.5020,48.8508</coordinates></Point></Placemark>
    <Placemark><name>Nnoc</name>
      <ExtendedData><Data name="filename"><value>rec4.wav</value></Data>
        <Data name="species"><value>Nnoc</value></Data></ExtendedData>
      <Point><coordinates>9.5035,48.8515</coordinates></Point></Placemark>
  </Folder>
</Document>
</kml>)";
}

// The plain document's placemarks: species as the name, the file (without its extension) in the description.
inline QByteArray plainKml() {
    return R"(<kml><Document><name></name>
  <Placemark><name>Transekt</name><LineString><coordinates>9.5,48.85 9.501,48.851</coordinates></LineString></Placemark>
  <Placemark><name>Ppip,Nnoc</name><description>File rec1
Time 21:35:17</description><Point><coordinates>9.5,48.85</coordinates></Point></Placemark>
  <Placemark><name>No species</name><description>File rec2
Time 21:40:00</description><Point><coordinates>9.501,48.851</coordinates></Point></Placemark>
</Document></kml>)";
}

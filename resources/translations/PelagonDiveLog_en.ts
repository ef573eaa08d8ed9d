<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="21"/>
        <source>Corvane %1, Profilor %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="38"/>
        <source>Pelagon DiveLog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="72"/>
        <location filename="../../app/mainwindow.cpp" line="75"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="72"/>
        <source>Impossible to open database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="75"/>
        <source>Impossible to create database 
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindowClass</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="14"/>
        <source>Pelagon DiveLog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="25"/>
        <source>Logbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="45"/>
        <source>Open a dive file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="52"/>
        <source>Store the dive in the logbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="59"/>
        <location filename="../../app/mainwindow.ui" line="605"/>
        <location filename="../../app/mainwindow.ui" line="613"/>
        <source>Computer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="85"/>
        <source>Computer not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="115"/>
        <source>Filter dives</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="174"/>
        <source>Fit the whole dive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="181"/>
        <source>Points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="191"/>
        <source>Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="201"/>
        <location filename="../../app/mainwindow.ui" line="671"/>
        <source>Gases</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="211"/>
        <source>Deco</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="221"/>
        <source>Alerts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="231"/>
        <location filename="../../app/mainwindow.ui" line="370"/>
        <source>Max depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="241"/>
        <source>Tank pressure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="264"/>
        <source>Minimize profile area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="320"/>
        <source>Summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="328"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="342"/>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="356"/>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="384"/>
        <source>Average depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="398"/>
        <source>Dive mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="412"/>
        <source>Water</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="426"/>
        <source>Surface pressure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="440"/>
        <source>Gradient factors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="458"/>
        <source>Ceiling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="468"/>
        <source>Ascent speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="478"/>
        <source>High O2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="488"/>
        <source>Battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="498"/>
        <source>Transmitter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="524"/>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="532"/>
        <source>Place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="542"/>
        <source>Site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="552"/>
        <source>Buddy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="579"/>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="627"/>
        <source>Sample interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="641"/>
        <source>Serial</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="685"/>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="699"/>
        <source>Simulation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="713"/>
        <source>Values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="751"/>
        <source>Dive planification</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="776"/>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="784"/>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="794"/>
        <source>Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="799"/>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="804"/>
        <source>About...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="39"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/main.cpp" line="40"/>
        <source>Impossible to create the data directory &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

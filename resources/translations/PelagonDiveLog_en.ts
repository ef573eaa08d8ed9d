<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>DiveDb</name>
    <message>
        <location filename="../../db/divedb.cpp" line="107"/>
        <source>The file is not a dive logbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="315"/>
        <source>No name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="316"/>
        <source>No serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="518"/>
        <location filename="../../db/divedb_store.cpp" line="543"/>
        <source>Database not open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="533"/>
        <source>No dive with id %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DiveDetails</name>
    <message>
        <location filename="../../app/divedetails.cpp" line="40"/>
        <source>Fresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="40"/>
        <source>Salt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49"/>
        <source>OC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49"/>
        <source>CC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49"/>
        <source>BO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="90"/>
        <source>Open Circuit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="91"/>
        <source>Closed Circuit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="92"/>
        <source>Semi Closed Circuit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="93"/>
        <source>Free Dive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="94"/>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DiveListBuilder</name>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="61"/>
        <source>No name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="63"/>
        <source>%1 dives</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="85"/>
        <source>Computers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="85"/>
        <source>Computer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="87"/>
        <source>Dives</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105"/>
        <source>Dive Id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105"/>
        <source>Date/Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105"/>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105"/>
        <source>Depth</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DivePlanner</name>
    <message>
        <location filename="../../deco/simulation.cpp" line="100"/>
        <source>Profile not simulated: a point has an invalid time or depth, or the dive lasts more than seven days</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DiveProfileItem</name>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="397"/>
        <source>Invalid dive: Yoyo on one of previous dives</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="400"/>
        <source>Invalid dive: Dive not allowed because of TAR &gt; 0.8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="403"/>
        <source>Invalid dive: Too many yoyos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="406"/>
        <source>Invalid dive: Contains surface interval greater than 15mn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/profilelayerpainter.cpp" line="110"/>
        <source>Deco not terminated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="73"/>
        <source> (Diluent)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="75"/>
        <source> (Bailout)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="76"/>
        <source> (Open Circuit)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <location filename="../../profilor/graphview.cpp" line="238"/>
        <source>Position information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="239"/>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="240"/>
        <source>Depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="241"/>
        <source>Speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="242"/>
        <source>Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="245"/>
        <source>Tank Pressure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="247"/>
        <source>NDL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="247"/>
        <source>Ceiling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="252"/>
        <source>Selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="253"/>
        <source>Start Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="254"/>
        <source>End Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="255"/>
        <source>Elapsed Time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="31"/>
        <location filename="../../app/mainwindow.cpp" line="171"/>
        <source>Corvane %1, Profilor %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="62"/>
        <source>Pelagon DiveLog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="115"/>
        <location filename="../../app/mainwindow.cpp" line="118"/>
        <location filename="../../app/mainwindow_details.cpp" line="106"/>
        <location filename="../../app/mainwindow_details.cpp" line="111"/>
        <location filename="../../app/mainwindow_divelist.cpp" line="285"/>
        <location filename="../../app/mainwindow_divelist.cpp" line="307"/>
        <location filename="../../app/mainwindow_divelist.cpp" line="327"/>
        <location filename="../../app/mainwindow_files.cpp" line="23"/>
        <source>Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="115"/>
        <source>Impossible to open database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="118"/>
        <source>Impossible to create database 
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="131"/>
        <source>Download dives</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="132"/>
        <source>Program name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="134"/>
        <source>Install firmware/bootloader</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="136"/>
        <source>Get system logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="169"/>
        <source>About Pelagon DiveLog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="197"/>
        <source>Minimize profile area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="202"/>
        <source>Maximize profile area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49"/>
        <source>O2 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49"/>
        <source>He %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49"/>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="83"/>
        <source>Unsaved changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="84"/>
        <source>You have unsaved changes. Do you want to save them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="104"/>
        <source>Impossible to save the place, site and buddy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="106"/>
        <source>This dive is not in the logbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="216"/>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="220"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="222"/>
        <location filename="../../app/mainwindow_divelist.cpp" line="295"/>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="226"/>
        <source>Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="231"/>
        <source>csv separator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="234"/>
        <source>Dot .</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="235"/>
        <source>Comma ,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="236"/>
        <source>Semicolon ;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="249"/>
        <source>Add to planification</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="268"/>
        <source>Are you sure to delete these dives?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="268"/>
        <source>Are you sure to delete this dive?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="269"/>
        <source>Delete dive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="285"/>
        <source>Impossible to delete profile(</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="295"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="299"/>
        <location filename="../../app/mainwindow_divelist.cpp" line="305"/>
        <location filename="../../app/mainwindow_files.cpp" line="51"/>
        <location filename="../../app/mainwindow_files.cpp" line="64"/>
        <location filename="../../app/mainwindow_files.cpp" line="123"/>
        <location filename="../../app/mainwindow_files.cpp" line="143"/>
        <location filename="../../app/mainwindow_files.cpp" line="150"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="299"/>
        <source>Invalid name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="305"/>
        <source>Name already exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="307"/>
        <source>Impossible to rename dive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="322"/>
        <source>Export Profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="138"/>
        <source>Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="143"/>
        <source>Invalid File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="327"/>
        <location filename="../../app/mainwindow_files.cpp" line="23"/>
        <source>Impossible to read profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="64"/>
        <location filename="../../app/mainwindow_files.cpp" line="150"/>
        <source>Impossible to open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="36"/>
        <source>Open Dive File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="37"/>
        <source>Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="51"/>
        <source>Invalid File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="104"/>
        <source>Impossible to write profile </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="106"/>
        <source>
Database not open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="107"/>
        <source>
Dive Id already exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="110"/>
        <source>Write Database Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="123"/>
        <source>Invalid selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="129"/>
        <source>Save Dive File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_graph.cpp" line="62"/>
        <source>Save selection</source>
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
        <location filename="../../app/main.cpp" line="43"/>
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

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>DiveDb</name>
    <message>
        <location filename="../../db/divedb.cpp" line="107" />
        <source>The file is not a dive logbook</source>
        <translation>Le fichier n'est pas un carnet de plongée</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="315" />
        <source>No name</source>
        <translation>Sans nom</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="316" />
        <source>No serial number</source>
        <translation>Pas de numéro de série</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="518" />
        <location filename="../../db/divedb_store.cpp" line="543" />
        <source>Database not open</source>
        <translation>Base de données non ouverte</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="533" />
        <source>No dive with id %1</source>
        <translation>Aucune plongée d'identifiant %1</translation>
    </message>
</context>
<context>
    <name>DiveDetails</name>
    <message>
        <location filename="../../app/divedetails.cpp" line="40" />
        <source>Fresh</source>
        <translation>Douce</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="40" />
        <source>Salt</source>
        <translation>Salée</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49" />
        <source>OC</source>
        <translation>CO</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49" />
        <source>CC</source>
        <translation>CF</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="49" />
        <source>BO</source>
        <translation>BO</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="90" />
        <source>Open Circuit</source>
        <translation>Circuit ouvert</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="91" />
        <source>Closed Circuit</source>
        <translation>Circuit fermé</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="92" />
        <source>Semi Closed Circuit</source>
        <translation>Circuit semi-fermé</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="93" />
        <source>Free Dive</source>
        <translation>Apnée</translation>
    </message>
    <message>
        <location filename="../../app/divedetails.cpp" line="94" />
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
</context>
<context>
    <name>DiveListBuilder</name>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="61" />
        <source>No name</source>
        <translation>Sans nom</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="63" />
        <source>%1 dives</source>
        <translation>%1 plongées</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="85" />
        <source>Computers</source>
        <translation>Ordinateurs</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="85" />
        <source>Computer</source>
        <translation>Ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="87" />
        <source>Dives</source>
        <translation>Plongées</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105" />
        <source>Dive Id</source>
        <translation>Plongée</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105" />
        <source>Date/Time</source>
        <translation>Date/Heure</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105" />
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="105" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
</context>
<context>
    <name>DivePlanner</name>
    <message>
        <location filename="../../deco/simulation.cpp" line="100" />
        <source>Profile not simulated: a point has an invalid time or depth, or the dive lasts more than seven days</source>
        <translation>Profil non simulé : un point a un temps ou une profondeur invalide, ou la plongée dure plus de sept jours</translation>
    </message>
</context>
<context>
    <name>DiveProfileItem</name>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="397" />
        <source>Invalid dive: Yoyo on one of previous dives</source>
        <translation>Plongée invalide : yoyo sur une des plongées précédentes</translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="400" />
        <source>Invalid dive: Dive not allowed because of TAR &gt; 0.8</source>
        <translation>Plongée invalide : plongée interdite car TAR &gt; 0.8</translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="403" />
        <source>Invalid dive: Too many yoyos</source>
        <translation>Plongée invalide : trop de yoyos</translation>
    </message>
    <message>
        <location filename="../../profilor/diveprofileitempaint.cpp" line="406" />
        <source>Invalid dive: Contains surface interval greater than 15mn</source>
        <translation>Plongée invalide : contient un intervalle de surface de plus de 15mn</translation>
    </message>
    <message>
        <location filename="../../profilor/profilelayerpainter.cpp" line="110" />
        <source>Deco not terminated</source>
        <translation>Déco non terminée</translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="73" />
        <source> (Diluent)</source>
        <translation> (Diluant)</translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="75" />
        <source> (Bailout)</source>
        <translation> (Bailout)</translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="76" />
        <source> (Open Circuit)</source>
        <translation> (Circuit ouvert)</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <location filename="../../profilor/graphview.cpp" line="238" />
        <source>Position information</source>
        <translation>Informations de position</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="239" />
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="240" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="241" />
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="242" />
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="245" />
        <source>Tank Pressure</source>
        <translation>Pression bloc</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="247" />
        <source>NDL</source>
        <translation>NDL</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="247" />
        <source>Ceiling</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="252" />
        <source>Selection</source>
        <translation>Sélection</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="253" />
        <source>Start Time</source>
        <translation>Heure de début</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="254" />
        <source>End Time</source>
        <translation>Heure de fin</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="255" />
        <source>Elapsed Time</source>
        <translation>Temps écoulé</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="31" />
        <location filename="../../app/mainwindow.cpp" line="171" />
        <source>Corvane %1, Profilor %2</source>
        <translation>Corvane %1, Profilor %2</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="62" />
        <source>Pelagon DiveLog</source>
        <translation>Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="115" />
        <location filename="../../app/mainwindow.cpp" line="118" />
        <location filename="../../app/mainwindow_details.cpp" line="106" />
        <location filename="../../app/mainwindow_details.cpp" line="111" />
        <location filename="../../app/mainwindow_divelist.cpp" line="285" />
        <location filename="../../app/mainwindow_divelist.cpp" line="307" />
        <location filename="../../app/mainwindow_divelist.cpp" line="327" />
        <location filename="../../app/mainwindow_files.cpp" line="23" />
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="115" />
        <source>Impossible to open database</source>
        <translation>Impossible d'ouvrir la base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="118" />
        <source>Impossible to create database 
</source>
        <translation>Impossible de créer la base de données 
</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="131" />
        <source>Download dives</source>
        <translation>Télécharger les plongées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="132" />
        <source>Program name</source>
        <translation>Nommer l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="134" />
        <source>Install firmware/bootloader</source>
        <translation>Installer le firmware/bootloader</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="136" />
        <source>Get system logs</source>
        <translation>Récupérer les journaux système</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="169" />
        <source>About Pelagon DiveLog</source>
        <translation>À propos de Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="197" />
        <source>Minimize profile area</source>
        <translation>Réduire la zone du profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="202" />
        <source>Maximize profile area</source>
        <translation>Agrandir la zone du profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49" />
        <source>O2 %</source>
        <translation>O2 %</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49" />
        <source>He %</source>
        <translation>He %</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="49" />
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="83" />
        <source>Unsaved changes</source>
        <translation>Modifications non enregistrées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="84" />
        <source>You have unsaved changes. Do you want to save them?</source>
        <translation>Vous avez des modifications non enregistrées. Voulez-vous les enregistrer ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="104" />
        <source>Impossible to save the place, site and buddy</source>
        <translation>Impossible d'enregistrer le lieu, le site et le binôme</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="106" />
        <source>This dive is not in the logbook</source>
        <translation>Cette plongée n'est pas dans le carnet</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="216" />
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="220" />
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="222" />
        <location filename="../../app/mainwindow_divelist.cpp" line="295" />
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="226" />
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="231" />
        <source>csv separator</source>
        <translation>séparateur csv</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="234" />
        <source>Dot .</source>
        <translation>Point .</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="235" />
        <source>Comma ,</source>
        <translation>Virgule ,</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="236" />
        <source>Semicolon ;</source>
        <translation>Point-virgule ;</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="249" />
        <source>Add to planification</source>
        <translation>Ajouter à la planification</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="268" />
        <source>Are you sure to delete these dives?</source>
        <translation>Voulez-vous vraiment supprimer ces plongées ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="268" />
        <source>Are you sure to delete this dive?</source>
        <translation>Voulez-vous vraiment supprimer cette plongée ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="269" />
        <source>Delete dive</source>
        <translation>Supprimer la plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="285" />
        <source>Impossible to delete profile(</source>
        <translation>Impossible de supprimer le profil(</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="295" />
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="299" />
        <location filename="../../app/mainwindow_divelist.cpp" line="305" />
        <location filename="../../app/mainwindow_files.cpp" line="51" />
        <location filename="../../app/mainwindow_files.cpp" line="64" />
        <location filename="../../app/mainwindow_files.cpp" line="123" />
        <location filename="../../app/mainwindow_files.cpp" line="143" />
        <location filename="../../app/mainwindow_files.cpp" line="150" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="299" />
        <source>Invalid name</source>
        <translation>Nom invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="305" />
        <source>Name already exists</source>
        <translation>Ce nom existe déjà</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="307" />
        <source>Impossible to rename dive</source>
        <translation>Impossible de renommer la plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="322" />
        <source>Export Profile</source>
        <translation>Exporter le profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="138" />
        <source>Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)</source>
        <translation>Fichier de plongée (*.uddf *.csv);;Fichier UDDF (*.uddf);;Fichier Csv (*.csv)</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="143" />
        <source>Invalid File Name</source>
        <translation>Nom de fichier invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="327" />
        <location filename="../../app/mainwindow_files.cpp" line="23" />
        <source>Impossible to read profile</source>
        <translation>Impossible de lire le profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="64" />
        <location filename="../../app/mainwindow_files.cpp" line="150" />
        <source>Impossible to open file</source>
        <translation>Impossible d'ouvrir le fichier</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="36" />
        <source>Open Dive File</source>
        <translation>Ouvrir un fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="37" />
        <source>Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)</source>
        <translation>Fichier de plongée (*.csv *.uddf *.divebin);;Fichier Csv (*.csv);;Fichier UDDF (*.uddf);;Fichier de plongée binaire (*.divebin)</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="51" />
        <source>Invalid File</source>
        <translation>Fichier invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="104" />
        <source>Impossible to write profile </source>
        <translation>Impossible d'écrire le profil </translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="106" />
        <source>
Database not open</source>
        <translation>
Base de données non ouverte</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="107" />
        <source>
Dive Id already exists</source>
        <translation>
Cette plongée existe déjà</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="110" />
        <source>Write Database Error</source>
        <translation>Erreur d'écriture de la base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="123" />
        <source>Invalid selection</source>
        <translation>Sélection invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="129" />
        <source>Save Dive File</source>
        <translation>Enregistrer le fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_graph.cpp" line="62" />
        <source>Save selection</source>
        <translation>Enregistrer la sélection</translation>
    </message>
</context>
<context>
    <name>MainWindowClass</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="14" />
        <source>Pelagon DiveLog</source>
        <translation>Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="25" />
        <source>Logbook</source>
        <translation>Carnet de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="45" />
        <source>Open a dive file</source>
        <translation>Ouvrir un fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="52" />
        <source>Store the dive in the logbook</source>
        <translation>Enregistrer la plongée dans le carnet</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="59" />
        <location filename="../../app/mainwindow.ui" line="605" />
        <location filename="../../app/mainwindow.ui" line="613" />
        <source>Computer</source>
        <translation>Ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="85" />
        <source>Computer not connected</source>
        <translation>Ordinateur non connecté</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="115" />
        <source>Filter dives</source>
        <translation>Filtrer les plongées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="174" />
        <source>Fit the whole dive</source>
        <translation>Afficher toute la plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="181" />
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="191" />
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="201" />
        <location filename="../../app/mainwindow.ui" line="671" />
        <source>Gases</source>
        <translation>Gaz</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="211" />
        <source>Deco</source>
        <translation>Déco</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="221" />
        <source>Alerts</source>
        <translation>Alertes</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="231" />
        <location filename="../../app/mainwindow.ui" line="370" />
        <source>Max depth</source>
        <translation>Profondeur max</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="241" />
        <source>Tank pressure</source>
        <translation>Pression bloc</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="264" />
        <source>Minimize profile area</source>
        <translation>Réduire la zone du profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="320" />
        <source>Summary</source>
        <translation>Résumé</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="328" />
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="342" />
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="356" />
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="384" />
        <source>Average depth</source>
        <translation>Profondeur moyenne</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="398" />
        <source>Dive mode</source>
        <translation>Mode de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="412" />
        <source>Water</source>
        <translation>Eau</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="426" />
        <source>Surface pressure</source>
        <translation>Pression de surface</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="440" />
        <source>Gradient factors</source>
        <translation>Facteurs de gradient</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="458" />
        <source>Ceiling</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="468" />
        <source>Ascent speed</source>
        <translation>Vitesse de remontée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="478" />
        <source>High O2</source>
        <translation>O2 élevé</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="488" />
        <source>Battery</source>
        <translation>Batterie</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="498" />
        <source>Transmitter</source>
        <translation>Émetteur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="524" />
        <source>Information</source>
        <translation>Informations</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="532" />
        <source>Place</source>
        <translation>Lieu</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="542" />
        <source>Site</source>
        <translation>Site</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="552" />
        <source>Buddy</source>
        <translation>Binôme</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="579" />
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="627" />
        <source>Sample interval</source>
        <translation>Intervalle d'échantillonnage</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="641" />
        <source>Serial</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="685" />
        <source>Log</source>
        <translation>Journal</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="699" />
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="713" />
        <source>Values</source>
        <translation>Valeurs</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="751" />
        <source>Dive planification</source>
        <translation>Planification de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="776" />
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="784" />
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="794" />
        <source>Open...</source>
        <translation>Ouvrir...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="799" />
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="804" />
        <source>About...</source>
        <translation>À propos...</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="43" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/main.cpp" line="40" />
        <source>Impossible to create the data directory "%1".</source>
        <translation>Impossible de créer le dossier de données « %1 ».</translation>
    </message>
</context>
</TS>

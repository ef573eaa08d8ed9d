<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="21" />
        <source>Corvane %1, Profilor %2</source>
        <translation>Corvane %1, Profilor %2</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="38" />
        <source>Pelagon DiveLog</source>
        <translation>Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="72" />
        <location filename="../../app/mainwindow.cpp" line="75" />
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="72" />
        <source>Impossible to open database</source>
        <translation>Impossible d'ouvrir la base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="75" />
        <source>Impossible to create database 
</source>
        <translation>Impossible de créer la base de données 
</translation>
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
        <location filename="../../app/main.cpp" line="39" />
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

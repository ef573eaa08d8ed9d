<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutBox</name>
    <message>
        <location filename="../../app/aboutbox.cpp" line="13" />
        <source>About Pelagon DiveLog</source>
        <translation>À propos de Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/aboutbox.cpp" line="36" />
        <source>Visit the website</source>
        <translation>Visiter le site web</translation>
    </message>
    <message>
        <location filename="../../app/aboutbox.cpp" line="37" />
        <source>View license terms</source>
        <translation>Voir les termes de la licence</translation>
    </message>
    <message>
        <location filename="../../app/aboutbox.cpp" line="46" />
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>ApplicationUpdater</name>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="61" />
        <source>Application update</source>
        <translation>Mise à jour de l'application</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="62" />
        <source>A new version %1 is available, do you want to download and install it?</source>
        <translation>Une nouvelle version %1 est disponible, voulez-vous la télécharger et l'installer ?</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="67" />
        <source>Downloading new version...</source>
        <translation>Téléchargement de la nouvelle version...</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="67" />
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="69" />
        <source>Downloading</source>
        <translation>Téléchargement</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="88" />
        <source>Download failed</source>
        <translation>Échec du téléchargement</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="109" />
        <location filename="../../app/applicationupdater.cpp" line="122" />
        <source>Download finished</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp" line="110" />
        <location filename="../../app/applicationupdater.cpp" line="123" />
        <source>The new version has been downloaded to %1</source>
        <translation>La nouvelle version a été téléchargée dans %1</translation>
    </message>
    <message>
        <location filename="../../app/applicationupdater.cpp"/>
        <source>Unpacking the new version...</source>
        <translation>Décompression de la nouvelle version...</translation>
    </message>
</context>
<context>
    <name>CommandWait</name>
    <message>
        <location filename="../../app/commandwait.cpp" line="15" />
        <source>Exchange Error: </source>
        <translation>Erreur d'échange : </translation>
    </message>
    <message>
        <location filename="../../app/commandwait.cpp" line="18" />
        <source>The computer is still busy with another command, please try again.</source>
        <translation>L'ordinateur est encore occupé par une autre commande, veuillez réessayer.</translation>
    </message>
    <message>
        <location filename="../../app/commandwait.cpp" line="32" />
        <source>The connection to the computer was lost.</source>
        <translation>La connexion avec l'ordinateur a été perdue.</translation>
    </message>
    <message>
        <location filename="../../app/commandwait.cpp" line="37" />
        <source>The computer did not answer in time.</source>
        <translation>L'ordinateur n'a pas répondu à temps.</translation>
    </message>
</context>
<context>
    <name>ComputerConnector</name>
    <message>
        <location filename="../../app/computerconnector.cpp" line="12" />
        <source>No answer from the computer</source>
        <translation>Pas de réponse de l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="21" />
        <source>Controller Error: </source>
        <translation>Erreur du contrôleur : </translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="39" />
        <location filename="../../app/computerconnector.cpp" line="83" />
        <source>No Controller</source>
        <translation>Pas de contrôleur</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="51" />
        <source>Connect to computer...</source>
        <translation>Connexion à l'ordinateur...</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="54" />
        <source>Search computer...</source>
        <translation>Recherche de l'ordinateur...</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="71" />
        <source>No Device Found</source>
        <translation>Aucun appareil trouvé</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="72" />
        <source>Problem on Create Device</source>
        <translation>Problème à la création de l'appareil</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="73" />
        <source>Computer found, connecting...</source>
        <translation>Ordinateur trouvé, connexion...</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="74" />
        <source>Error on Create Device</source>
        <translation>Erreur à la création de l'appareil</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="84" />
        <source>No Computer Found</source>
        <translation>Aucun ordinateur trouvé</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="47" />
        <location filename="../../app/computerconnector.cpp" line="88" />
        <source>Device Connected</source>
        <translation>Appareil connecté</translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="102" />
        <source>Firmware version: </source>
        <translation>Version du firmware : </translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="106" />
        <source>Serial number: </source>
        <translation>Numéro de série : </translation>
    </message>
    <message>
        <location filename="../../app/computerconnector.cpp" line="110" />
        <source>Ambiant pressure: </source>
        <translation>Pression ambiante : </translation>
    </message>
</context>
<context>
    <name>ComputerText</name>
    <message>
        <location filename="../../app/computertext.cpp" line="10" />
        <source>Computer Connected</source>
        <translation>Ordinateur connecté</translation>
    </message>
    <message>
        <location filename="../../app/computertext.cpp" line="11" />
        <source>Serial </source>
        <translation>Série </translation>
    </message>
    <message>
        <location filename="../../app/computertext.cpp" line="12" />
        <source>Mode </source>
        <translation>Mode </translation>
    </message>
    <message>
        <location filename="../../app/computertext.cpp" line="12" />
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <location filename="../../app/computertext.cpp" line="12" />
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location filename="../../app/computertext.cpp" line="33" />
        <source>The connected device is using an earlier firmware version %1.
A more recent version %2 is available.</source>
        <translation>L'appareil connecté utilise une ancienne version de firmware %1.
Une version plus récente %2 est disponible.</translation>
    </message>
</context>
<context>
    <name>DiveDb</name>
    <message>
        <location filename="../../db/divedbopen.cpp" line="119" />
        <location filename="../../db/divedbopen.cpp" line="156" />
        <location filename="../../db/divedbopen.cpp" line="162" />
        <source>The file is not a dive logbook</source>
        <translation>Le fichier n'est pas un carnet de plongée</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="337" />
        <source>No name</source>
        <translation>Sans nom</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="338" />
        <source>No serial number</source>
        <translation>Pas de numéro de série</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="545" />
        <location filename="../../db/divedb_store.cpp" line="572" />
        <source>Database not open</source>
        <translation>Base de données non ouverte</translation>
    </message>
    <message>
        <location filename="../../db/divedb_store.cpp" line="562" />
        <source>No dive with id %1</source>
        <translation>Aucune plongée d'identifiant %1</translation>
    </message>
    <message>
        <location filename="../../db/divedb.cpp" line="21" />
        <source>This logbook was written by a newer version of the program. It is opened read-only: no dive can be stored, changed or deleted.</source>
        <translation>Ce carnet a été écrit par une version plus récente du programme. Il est ouvert en lecture seule : aucune plongée ne peut être enregistrée, modifiée ou supprimée.</translation>
    </message>
    <message>
        <location filename="../../db/divedbopen.cpp" line="106" />
        <source>The logbook is busy: another program is writing to it. Close that program or try again later.</source>
        <translation>Le carnet est occupé : un autre programme y écrit. Fermez ce programme ou réessayez plus tard.</translation>
    </message>
    <message>
        <location filename="../../db/divedbopen.cpp" line="226" />
        <source>Impossible to add the column %1</source>
        <translation>Impossible d'ajouter la colonne %1</translation>
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
    <name>DiveFileFormat</name>
    <message>
        <location filename="../../divedata/divefileregistry.cpp" line="21" />
        <source>Csv file</source>
        <translation>Fichier Csv</translation>
    </message>
    <message>
        <location filename="../../divedata/divefileregistry.cpp" line="23" />
        <source>UDDF file</source>
        <translation>Fichier UDDF</translation>
    </message>
    <message>
        <location filename="../../divedata/divefileregistry.cpp" line="25" />
        <source>Binary dive file</source>
        <translation>Fichier de plongée binaire</translation>
    </message>
    <message>
        <location filename="../../divedata/divefileregistry.cpp" line="27" />
        <source>Dive plan stream</source>
        <translation>Flux de plan de plongée</translation>
    </message>
    <message>
        <location filename="../../divedata/divelinesio.cpp" line="139" />
        <source>Dive file</source>
        <translation>Fichier de plongée</translation>
    </message>
</context>
<context>
    <name>DiveFileImport</name>
    <message>
        <location filename="../../app/divefileimport.cpp" line="12" />
        <source>Impossible to open file</source>
        <translation>Impossible d'ouvrir le fichier</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="15" />
        <source>It is not a regular file.</source>
        <translation>Ce n'est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="18" />
        <source>It holds no dive: not a single profile line could be read.</source>
        <translation>Il ne contient aucune plongée : aucune ligne de profil n'a pu être lue.</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="21" />
        <source>It holds impossible values (depths, times or gases).</source>
        <translation>Il contient des valeurs impossibles (profondeurs, temps ou gaz).</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="51" />
        <source>Database not open</source>
        <translation>Base de données non ouverte</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="64" />
        <source>%1 of %2 dives stored.</source>
        <translation>%1 plongées sur %2 enregistrées.</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="66" />
        <source>%1 already in the logbook.</source>
        <translation>%1 déjà dans le carnet.</translation>
    </message>
    <message>
        <location filename="../../app/divefileimport.cpp" line="68" />
        <source>%1 could not be stored: %2</source>
        <translation>%1 n'ont pas pu être enregistrées : %2</translation>
    </message>
</context>
<context>
    <name>DiveListBuilder</name>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="62" />
        <source>No name</source>
        <translation>Sans nom</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="64" />
        <source>%1 dives</source>
        <translation>%1 plongées</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="86" />
        <source>Computers</source>
        <translation>Ordinateurs</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="86" />
        <source>Computer</source>
        <translation>Ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="88" />
        <source>Dives</source>
        <translation>Plongées</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="93" />
        <source>Dive Id</source>
        <translation>Plongée</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="93" />
        <source>Date/Time</source>
        <translation>Date/Heure</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="93" />
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <location filename="../../app/divelistbuilder.cpp" line="93" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
</context>
<context>
    <name>DivePlanner</name>
    <message>
        <location filename="../../deco/simulation.cpp" line="106" />
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
        <location filename="../../profilor/profilestyle.cpp" line="101" />
        <source> (Diluent)</source>
        <translation> (Diluant)</translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="103" />
        <source> (Bailout)</source>
        <translation> (Bailout)</translation>
    </message>
    <message>
        <location filename="../../profilor/profilestyle.cpp" line="104" />
        <source> (Open Circuit)</source>
        <translation> (Circuit ouvert)</translation>
    </message>
</context>
<context>
    <name>FirmwareCatalogue</name>
    <message>
        <location filename="../../online/firmwarecatalogue.cpp" line="117" />
        <source>A firmware file holds %1 to %2 bytes; %3 has %4</source>
        <translation>Un fichier firmware contient de %1 à %2 octets ; %3 en a %4</translation>
    </message>
    <message>
        <location filename="../../online/firmwarecatalogue.cpp" line="126" />
        <source>Impossible to load binary file</source>
        <translation>Impossible de charger le fichier binaire</translation>
    </message>
</context>
<context>
    <name>FirmwareMgt</name>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="39" />
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="39" />
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="39" />
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="39" />
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="88" />
        <location filename="../../app/firmwaremgt.cpp" line="99" />
        <location filename="../../app/firmwaremgt.cpp" line="132" />
        <location filename="../../app/firmwaremgt.cpp" line="187" />
        <source>Download Error</source>
        <translation>Erreur de téléchargement</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="88" />
        <location filename="../../app/firmwaremgt.cpp" line="99" />
        <location filename="../../app/firmwaremgt.cpp" line="187" />
        <source>Error %1</source>
        <translation>Erreur %1</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="113" />
        <source>%1 downloaded</source>
        <translation>%1 téléchargé</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="130" />
        <source>The firmware list is not available</source>
        <translation>La liste des firmwares n'est pas disponible</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="162" />
        <source>Download Firmware</source>
        <translation>Télécharger le firmware</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="168" />
        <source>%1 Firmwares Available</source>
        <translation>%1 firmwares disponibles</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="180" />
        <location filename="../../app/firmwaremgt.cpp" line="224" />
        <location filename="../../app/firmwaremgt.cpp" line="233" />
        <location filename="../../app/firmwaremgt.cpp" line="254" />
        <location filename="../../app/firmwaremgt.cpp" line="257" />
        <location filename="../../app/firmwaremgt.cpp" line="260" />
        <location filename="../../app/firmwaremgt.cpp" line="263" />
        <location filename="../../app/firmwaremgt.cpp" line="302" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="180" />
        <source>Impossible to create the folder %1</source>
        <translation>Impossible de créer le dossier %1</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="191" />
        <source>Downloading %1...</source>
        <translation>Téléchargement de %1...</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="205" />
        <source>Open Firmware</source>
        <translation>Ouvrir un firmware</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="206" />
        <source>Firmware Files (*.bin)</source>
        <translation>Fichiers firmware (*.bin)</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="228" />
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="228" />
        <source>Upload firmware %1?</source>
        <translation>Installer le firmware %1 ?</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="233" />
        <source>No dive computer connected</source>
        <translation>Aucun ordinateur de plongée connecté</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="249" />
        <location filename="../../app/firmwaremgt.cpp" line="281" />
        <source>Number of bytes sent: %1/%2</source>
        <translation>Nombre d'octets envoyés : %1/%2</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="254" />
        <source>Update firmware needs bootloader update</source>
        <translation>La mise à jour du firmware nécessite une mise à jour du bootloader</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="257" />
        <source>Firmware already installed</source>
        <translation>Firmware déjà installé</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="260" />
        <source>Bootloader already installed</source>
        <translation>Bootloader déjà installé</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="263" />
        <source>Too old firmware file</source>
        <translation>Fichier firmware trop ancien</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="277" />
        <source>Nb sent: 0/0</source>
        <translation>Nb envoyés : 0/0</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="289" />
        <source>'Installation Successfull in' hh:mm:ss</source>
        <translation>'Installation réussie en' hh:mm:ss</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp" line="302" />
        <source>The firmware upload failed: %1</source>
        <translation>L'installation du firmware a échoué : %1</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp"/>
        <source>The firmware upload could not start</source>
        <translation>Le transfert du firmware n'a pas pu démarrer</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.cpp"/>
        <source>The firmware upload could not start: %1</source>
        <translation>Le transfert du firmware n'a pas pu démarrer : %1</translation>
    </message>
</context>
<context>
    <name>FirmwareMgtClass</name>
    <message>
        <location filename="../../app/firmwaremgt.ui" line="14" />
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.ui" line="55" />
        <source>Firmware from disk</source>
        <translation>Firmware depuis le disque</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.ui" line="62" />
        <source>Force same version</source>
        <translation>Forcer la même version</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.ui" line="69" />
        <source>Open Firmwares Folder</source>
        <translation>Ouvrir le dossier des firmwares</translation>
    </message>
    <message>
        <location filename="../../app/firmwaremgt.ui" line="83" />
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FirstStartHint</name>
    <message>
        <location filename="../../app/firststarthint.cpp" line="21" />
        <source>Your logbook has no dive yet.</source>
        <translation>Votre carnet ne contient encore aucune plongée.</translation>
    </message>
    <message>
        <location filename="../../app/firststarthint.cpp" line="23" />
        <source>Connect your dive computer with the computer button at the top left, then choose "Download dives".</source>
        <translation>Connectez votre ordinateur de plongée avec le bouton de l'ordinateur en haut à gauche, puis choisissez "Télécharger les plongées".</translation>
    </message>
    <message>
        <location filename="../../app/firststarthint.cpp" line="26" />
        <source>No Bluetooth on this machine? Start the program with --demo to download the dives of a simulated dive computer.</source>
        <translation>Pas de Bluetooth sur cette machine ? Lancez le programme avec --demo pour télécharger les plongées d'un ordinateur de plongée simulé.</translation>
    </message>
    <message>
        <location filename="../../app/firststarthint.cpp" line="30" />
        <source>To open a dive file, use the folder button or drop the file here; the store button keeps it in the logbook.</source>
        <translation>Pour ouvrir un fichier de plongée, utilisez le bouton dossier ou déposez le fichier ici ; le bouton d'enregistrement le garde dans le carnet.</translation>
    </message>
    <message>
        <location filename="../../app/firststarthint.cpp" line="34" />
        <source>To open dive files, set import=1 in the [hidden] group of %1 and start the program again.</source>
        <translation>Pour ouvrir des fichiers de plongée, mettez import=1 dans le groupe [hidden] de %1 et relancez le programme.</translation>
    </message>
</context>
<context>
    <name>FormBluetoothConnectClass</name>
    <message>
        <location filename="../../app/formbluetoothconnect.ui" line="9" />
        <source>Bluetooth Connection</source>
        <translation>Connexion Bluetooth</translation>
    </message>
    <message>
        <location filename="../../app/formbluetoothconnect.ui" line="25" />
        <source>Search computer</source>
        <translation>Recherche de l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/formbluetoothconnect.ui" line="48" />
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>FormFilter</name>
    <message>
        <location filename="../../app/formfilter.cpp" line="66" />
        <source>Serial</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.cpp" line="66" />
        <source>Name</source>
        <translation>Nom</translation>
    </message>
</context>
<context>
    <name>FormFilterClass</name>
    <message>
        <location filename="../../app/formfilter.ui" line="9" />
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="16" />
        <source>By computer</source>
        <translation>Par ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="22" />
        <location filename="../../app/formfilter.ui" line="92" />
        <source>Active</source>
        <translation>Actif</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="36" />
        <source>All</source>
        <translation>Tous</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="43" />
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="69" />
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="74" />
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="86" />
        <source>By date</source>
        <translation>Par date</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="106" />
        <source>Start date</source>
        <translation>Date de début</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="122" />
        <source>End date</source>
        <translation>Date de fin</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="144" />
        <source>Time range</source>
        <translation>Plage horaire</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="156" />
        <source>Start time</source>
        <translation>Heure de début</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="166" />
        <source>End time</source>
        <translation>Heure de fin</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="202" />
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../../app/formfilter.ui" line="212" />
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>GenericFileDownloader</name>
    <message>
        <location filename="../../online/genericfiledownloader.cpp" line="37" />
        <source>The address has no usable file name: %1</source>
        <translation>L'adresse n'a pas de nom de fichier utilisable : %1</translation>
    </message>
    <message>
        <location filename="../../online/genericfiledownloader.cpp" line="42" />
        <source>Unsupported address: %1</source>
        <translation>Adresse non prise en charge : %1</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <location filename="../../profilor/graphview.cpp" line="231" />
        <source>Position information</source>
        <translation>Informations de position</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="232" />
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="233" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="234" />
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="235" />
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="238" />
        <source>Tank Pressure</source>
        <translation>Pression bloc</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="240" />
        <source>NDL</source>
        <translation>NDL</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="240" />
        <source>Ceiling</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="245" />
        <source>Selection</source>
        <translation>Sélection</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="246" />
        <source>Start Time</source>
        <translation>Heure de début</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="247" />
        <source>End Time</source>
        <translation>Heure de fin</translation>
    </message>
    <message>
        <location filename="../../profilor/graphview.cpp" line="248" />
        <source>Elapsed Time</source>
        <translation>Temps écoulé</translation>
    </message>
</context>
<context>
    <name>HttpGet</name>
    <message>
        <location filename="../../online/httpget.cpp" line="64" />
        <location filename="../../online/httpget.cpp" line="136" />
        <location filename="../../online/httpget.cpp" line="176" />
        <source>Cannot write output file</source>
        <translation>Impossible d'écrire le fichier de sortie</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="114" />
        <location filename="../../online/httpget.cpp" line="130" />
        <source>The file is larger than %1 bytes</source>
        <translation>Le fichier dépasse %1 octets</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="153" />
        <source>The server answered %1 %2</source>
        <translation>Le serveur a répondu %1 %2</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="163" />
        <source>The reply ended after %1 of %2 bytes</source>
        <translation>La réponse s'est arrêtée après %1 octets sur %2</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="167" />
        <source>The file is smaller than %1 bytes</source>
        <translation>Le fichier fait moins de %1 octets</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="190" />
        <source>Too many redirections</source>
        <translation>Trop de redirections</translation>
    </message>
    <message>
        <location filename="../../online/httpget.cpp" line="196" />
        <source>Refused redirection to %1</source>
        <translation>Redirection refusée vers %1</translation>
    </message>
</context>
<context>
    <name>ImportBluetooth</name>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="46" />
        <source>Get dive %1</source>
        <translation>Lecture de la plongée %1</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="49" />
        <source>Dive %1 of %2</source>
        <translation>Plongée %1 sur %2</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="53" />
        <source>Dive imported</source>
        <translation>Plongée importée</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="65" />
        <source>Dive not found</source>
        <translation>Plongée introuvable</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="68" />
        <source>Download stopped: %1 dives imported</source>
        <translation>Téléchargement arrêté : %1 plongées importées</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="77" />
        <source>Pelagon n°: </source>
        <translation>Pelagon n° : </translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="78" />
        <source>Owner: </source>
        <translation>Propriétaire : </translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="81" />
        <source>Get list of dives</source>
        <translation>Lecture de la liste des plongées</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="95" />
        <source>Select dives to import</source>
        <translation>Choisissez les plongées à importer</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="104" />
        <source>No new dive on the computer</source>
        <translation>Aucune nouvelle plongée sur l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.cpp" line="130" />
        <source>Stopping after the dive being downloaded...</source>
        <translation>Arrêt après la plongée en cours de téléchargement...</translation>
    </message>
</context>
<context>
    <name>ImportBluetoothClass</name>
    <message>
        <location filename="../../app/importbluetooth.ui" line="9" />
        <source>Import Dives</source>
        <translation>Importer des plongées</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.ui" line="49" />
        <source>Samples with tissues</source>
        <translation>Échantillons avec tissus</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.ui" line="58" />
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.ui" line="70" />
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location filename="../../app/importbluetooth.ui" line="89" />
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>InputDialogMulti</name>
    <message>
        <location filename="../../app/inputdialogmulti.cpp" line="251" />
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../../app/inputdialogmulti.cpp" line="252" />
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="35" />
        <source>Corvane %1, Profilor %2</source>
        <translation>Corvane %1, Profilor %2</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="77" />
        <source>Pelagon DiveLog</source>
        <translation>Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="132" />
        <location filename="../../app/mainwindow.cpp" line="135" />
        <location filename="../../app/mainwindow.cpp" line="141" />
        <location filename="../../app/mainwindow_details.cpp" line="111" />
        <location filename="../../app/mainwindow_details.cpp" line="116" />
        <location filename="../../app/mainwindow_divelist.cpp" line="319" />
        <location filename="../../app/mainwindow_divelist.cpp" line="341" />
        <location filename="../../app/mainwindow_divelist.cpp" line="361" />
        <location filename="../../app/mainwindow_files.cpp" line="24" />
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="132" />
        <location filename="../../app/mainwindow.cpp" line="141" />
        <source>Impossible to open database</source>
        <translation>Impossible d'ouvrir la base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="135" />
        <source>Impossible to create database 
</source>
        <translation>Impossible de créer la base de données 
</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="36" />
        <source>Download dives</source>
        <translation>Télécharger les plongées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="39" />
        <location filename="../../app/mainwindow_computer.cpp" line="160" />
        <source>Program name</source>
        <translation>Nommer l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="41" />
        <source>Install firmware/bootloader</source>
        <translation>Installer le firmware/bootloader</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="45" />
        <location filename="../../app/mainwindow_computer.cpp" line="206" />
        <source>Get system logs</source>
        <translation>Récupérer les journaux système</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="61" />
        <source>Log: </source>
        <translation>Journal : </translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="64" />
        <source>Service Error: </source>
        <translation>Erreur de service : </translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="92" />
        <source>Computer Disconnected</source>
        <translation>Ordinateur déconnecté</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="117" />
        <source>Firmware Update Available</source>
        <translation>Mise à jour du firmware disponible</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="154" />
        <location filename="../../app/mainwindow_computer.cpp" line="184" />
        <source>Warning</source>
        <translation>Attention</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="154" />
        <location filename="../../app/mainwindow_computer.cpp" line="184" />
        <source>The computer is in Bootloader mode</source>
        <translation>L'ordinateur est en mode Bootloader</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="168" />
        <source>Set owner</source>
        <translation>Propriétaire</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="168" />
        <source>Owner name</source>
        <translation>Nom du propriétaire</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="188" />
        <source>Get syslog...</source>
        <translation>Lecture du journal système...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="214" />
        <location filename="../../app/mainwindow_computer.cpp" line="223" />
        <source>Save Syslog</source>
        <translation>Enregistrer le journal système</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="216" />
        <source>Syslog files (*.syslog)</source>
        <translation>Fichiers journal (*.syslog)</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="223" />
        <source>Impossible to write the file %1</source>
        <translation>Impossible d'écrire le fichier %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="236" />
        <source>Close Connection</source>
        <translation>Fermer la connexion</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="237" />
        <location filename="../../app/mainwindow_computer.cpp" line="238" />
        <location filename="../../app/mainwindow_computer.cpp" line="243" />
        <source>Reset Computer</source>
        <translation>Réinitialiser l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="238" />
        <source>Are you sure to reset the computer?</source>
        <translation>Voulez-vous vraiment réinitialiser l'ordinateur ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="243" />
        <source>The computer is still busy with another command, please try again.</source>
        <translation>L'ordinateur est encore occupé par une autre commande, veuillez réessayer.</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="250" />
        <source>Disconnect Computer</source>
        <translation>Déconnecter l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="251" />
        <source>Are you sure to disconnect the computer?</source>
        <translation>Voulez-vous vraiment déconnecter l'ordinateur ?</translation>
    </message>
    <message>
        <source>About Pelagon DiveLog</source>
        <translation>À propos de Pelagon DiveLog</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="199" />
        <source>Minimize profile area</source>
        <translation>Réduire la zone du profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="203" />
        <source>Maximize profile area</source>
        <translation>Agrandir la zone du profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="54" />
        <source>O2 %</source>
        <translation>O2 %</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="54" />
        <source>He %</source>
        <translation>He %</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="54" />
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="88" />
        <source>Unsaved changes</source>
        <translation>Modifications non enregistrées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="89" />
        <source>You have unsaved changes. Do you want to save them?</source>
        <translation>Vous avez des modifications non enregistrées. Voulez-vous les enregistrer ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="109" />
        <source>Impossible to save the place, site and buddy</source>
        <translation>Impossible d'enregistrer le lieu, le site et le binôme</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_details.cpp" line="111" />
        <source>This dive is not in the logbook</source>
        <translation>Cette plongée n'est pas dans le carnet</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="252" />
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="256" />
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="258" />
        <location filename="../../app/mainwindow_divelist.cpp" line="329" />
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="262" />
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="267" />
        <source>csv separator</source>
        <translation>séparateur csv</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="270" />
        <source>Dot .</source>
        <translation>Point .</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="271" />
        <source>Comma ,</source>
        <translation>Virgule ,</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="272" />
        <source>Semicolon ;</source>
        <translation>Point-virgule ;</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_planning.cpp" line="35" />
        <source>Add to planification</source>
        <translation>Ajouter à la planification</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_planning.cpp" line="43" />
        <source>Replace current in planification</source>
        <translation>Remplacer la courante dans la planification</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="302" />
        <source>Are you sure to delete these dives?</source>
        <translation>Voulez-vous vraiment supprimer ces plongées ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="302" />
        <source>Are you sure to delete this dive?</source>
        <translation>Voulez-vous vraiment supprimer cette plongée ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="303" />
        <source>Delete dive</source>
        <translation>Supprimer la plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="319" />
        <source>Impossible to delete profile(</source>
        <translation>Impossible de supprimer le profil(</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="329" />
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="333" />
        <location filename="../../app/mainwindow_divelist.cpp" line="339" />
        <location filename="../../app/mainwindow_files.cpp" line="57" />
        <location filename="../../app/mainwindow_files.cpp" line="70" />
        <location filename="../../app/mainwindow_files.cpp" line="152" />
        <location filename="../../app/mainwindow_files.cpp" line="172" />
        <location filename="../../app/mainwindow_files.cpp" line="179" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="333" />
        <source>Invalid name</source>
        <translation>Nom invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="339" />
        <source>Name already exists</source>
        <translation>Ce nom existe déjà</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="341" />
        <source>Impossible to rename dive</source>
        <translation>Impossible de renommer la plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="356" />
        <source>Export Profile</source>
        <translation>Exporter le profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="172" />
        <source>Invalid File Name</source>
        <translation>Nom de fichier invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_divelist.cpp" line="361" />
        <location filename="../../app/mainwindow_files.cpp" line="24" />
        <source>Impossible to read profile</source>
        <translation>Impossible de lire le profil</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="179" />
        <source>Impossible to open file</source>
        <translation>Impossible d'ouvrir le fichier</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="37" />
        <source>Open Dive File</source>
        <translation>Ouvrir un fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="57" />
        <source>Invalid File</source>
        <translation>Fichier invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="133" />
        <source>Impossible to write profile </source>
        <translation>Impossible d'écrire le profil </translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="135" />
        <source>
Database not open</source>
        <translation>
Base de données non ouverte</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="136" />
        <source>
Dive Id already exists</source>
        <translation>
Cette plongée existe déjà</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_computer.cpp" line="143" />
        <location filename="../../app/mainwindow_files.cpp" line="128" />
        <source>Write Database Error</source>
        <translation>Erreur d'écriture de la base de données</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="152" />
        <source>Invalid selection</source>
        <translation>Sélection invalide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="158" />
        <source>Save Dive File</source>
        <translation>Enregistrer le fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_graph.cpp" line="70" />
        <source>Save selection</source>
        <translation>Enregistrer la sélection</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="90" />
        <location filename="../../app/mainwindow_files.cpp" line="104" />
        <source>Several dives</source>
        <translation>Plusieurs plongées</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow_files.cpp" line="91" />
        <source>This file holds %1 dives; the first one is shown. Store all of them in the logbook?</source>
        <translation>Ce fichier contient %1 plongées ; la première est affichée. Les enregistrer toutes dans le carnet ?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="146" />
        <source>Database</source>
        <translation>Base de données</translation>
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
        <location filename="../../app/mainwindow.ui" line="705" />
        <source>Values</source>
        <translation>Valeurs</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="743" />
        <source>Dive planification</source>
        <translation>Planification de plongée</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="754" />
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="762" />
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="772" />
        <source>Open...</source>
        <translation>Ouvrir...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="777" />
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.ui" line="782" />
        <source>About...</source>
        <translation>À propos...</translation>
    </message>
</context>
<context>
    <name>PlanningPanel</name>
    <message>
        <location filename="../../app/planningpanel.cpp" line="94" />
        <source>Add dive</source>
        <translation>Ajouter une plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="95" />
        <source>Replace current dive</source>
        <translation>Remplacer la plongée courante</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="230" />
        <source>Activate on/off effort mode</source>
        <translation>Activer/désactiver le mode effort</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="316" />
        <source>Time: </source>
        <translation>Temps : </translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="317" />
        <source>Depth: %1m</source>
        <translation>Profondeur : %1m</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="318" />
        <source>Speed: %1m/mn</source>
        <translation>Vitesse : %1m/mn</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="319" />
        <source>PpO2: %1</source>
        <translation>PpO2 : %1</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.cpp" line="320" />
        <source>Ceil: %1</source>
        <translation>Plafond : %1</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="34" />
        <source>New planification</source>
        <translation>Nouvelle planification</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="35" />
        <source>Are you sure to create new planification?</source>
        <translation>Voulez-vous vraiment créer une nouvelle planification ?</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="45" />
        <location filename="../../app/planningpanel_commands.cpp" line="65" />
        <location filename="../../app/planningpanel_commands.cpp" line="69" />
        <location filename="../../app/planningpanel_commands.cpp" line="125" />
        <location filename="../../app/planningpanel_commands.cpp" line="173" />
        <location filename="../../app/planningpanel_commands.cpp" line="192" />
        <location filename="../../app/planningpanel_commands.cpp" line="237" />
        <location filename="../../app/planningpanel_points.cpp" line="93" />
        <location filename="../../app/planningpanel_points.cpp" line="105" />
        <location filename="../../app/planningpanel_points.cpp" line="148" />
        <location filename="../../app/planningpanel_points.cpp" line="163" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="45" />
        <source>No free location fro a new dive</source>
        <translation>Aucun emplacement libre pour une nouvelle plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="54" />
        <source>Open Dive File</source>
        <translation>Ouvrir un fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="55" />
        <source>Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)</source>
        <translation>Fichier de plongée (*.csv *.uddf *.divebin);;Fichier Csv (*.csv);;Fichier UDDF (*.uddf);;Fichier de plongée binaire (*.divebin)</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="65" />
        <location filename="../../app/planningpanel_commands.cpp" line="125" />
        <source>No free location for a new dive</source>
        <translation>Aucun emplacement libre pour une nouvelle plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="69" />
        <source>Impossible to load dive file</source>
        <translation>Impossible de charger le fichier de plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="97" />
        <location filename="../../app/planningpanel_commands.cpp" line="111" />
        <location filename="../../app/planningpanel_commands.cpp" line="129" />
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="97" />
        <location filename="../../app/planningpanel_commands.cpp" line="111" />
        <location filename="../../app/planningpanel_commands.cpp" line="129" />
        <source>Impossible to read profile</source>
        <translation>Impossible de lire le profil</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="142" />
        <source>Replace dive</source>
        <translation>Remplacer la plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="142" />
        <source>Are you sure to replace current dive?</source>
        <translation>Voulez-vous vraiment remplacer la plongée courante ?</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="168" />
        <source>Load plan</source>
        <translation>Charger un plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="168" />
        <location filename="../../app/planningpanel_commands.cpp" line="184" />
        <source>Dive plan file (*.diveplan)</source>
        <translation>Fichier de plan de plongée (*.diveplan)</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="173" />
        <source>Impossible to load plan file</source>
        <translation>Impossible de charger le fichier de plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="184" />
        <source>Save Plan</source>
        <translation>Enregistrer le plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="192" />
        <source>Impossible to save plan file</source>
        <translation>Impossible d'enregistrer le fichier de plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="208" />
        <source>Dive plan</source>
        <translation>Plan de plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="231" />
        <source>Export plan</source>
        <translation>Exporter le plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="231" />
        <source>PDF file (*.pdf)</source>
        <translation>Fichier PDF (*.pdf)</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_commands.cpp" line="237" />
        <source>Impossible to write file</source>
        <translation>Impossible d'écrire le fichier</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="62" />
        <source>Delete this point</source>
        <translation>Supprimer ce point</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="63" />
        <source>Set start of DTR</source>
        <translation>Fixer le début de la DTR</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="64" />
        <source>Measure between 2 points</source>
        <translation>Mesurer entre 2 points</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="93" />
        <source>Select a line after which insert a point</source>
        <translation>Choisissez une ligne après laquelle insérer un point</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="105" />
        <source>Select the dive point to remove</source>
        <translation>Choisissez le point de plongée à supprimer</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="148" />
        <source>Impossible to set start of DTR on planified profile</source>
        <translation>Impossible de fixer le début de la DTR sur un profil planifié</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="163" />
        <source>Select two points to measure between them</source>
        <translation>Choisissez deux points entre lesquels mesurer</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="173" />
        <source>Measure between two points</source>
        <translation>Mesure entre deux points</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="177" />
        <source>Point</source>
        <translation>Point</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="177" />
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="177" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="182" />
        <location filename="../../app/planningpanel_points.cpp" line="195" />
        <source>%1m</source>
        <translation>%1m</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="193" />
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="193" />
        <source>Depth difference</source>
        <translation>Écart de profondeur</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="193" />
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="196" />
        <source>%1m/mn</source>
        <translation>%1m/mn</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel_points.cpp" line="196" />
        <source>none</source>
        <translation>aucune</translation>
    </message>
</context>
<context>
    <name>PlanningPanelClass</name>
    <message>
        <location filename="../../app/planningpanel.ui" line="24" />
        <source>Open Circuit</source>
        <translation>Circuit ouvert</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="29" />
        <source>Closed Circuit</source>
        <translation>Circuit fermé</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="37" />
        <source>Add dive</source>
        <translation>Ajouter une plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="47" />
        <source>Add existing dive</source>
        <translation>Ajouter une plongée existante</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="57" />
        <source>Replace current dive by a new one</source>
        <translation>Remplacer la plongée courante par une nouvelle</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="67" />
        <source>Remove active dive</source>
        <translation>Supprimer la plongée active</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="88" />
        <source>Surface pressure</source>
        <translation>Pression de surface</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="112" />
        <source>Salt</source>
        <translation>Salée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="117" />
        <source>Fresh</source>
        <translation>Douce</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="125" />
        <source>Surface interval</source>
        <translation>Intervalle de surface</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="165" />
        <source>Deco gases</source>
        <translation>Gaz de déco</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="165" />
        <source>Switch to the dive's richer gases on the computed ascent</source>
        <translation>Passer aux gaz plus riches de la plongée pendant la remontée calculée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="166" />
        <source>ppO2 max</source>
        <translation>ppO2 max</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="166" />
        <source>Deepest use of a deco gas: its ppO2 there</source>
        <translation>Profondeur maximale d'un gaz de déco : sa ppO2 à cette profondeur</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="166" />
        <source>Switch stop</source>
        <translation>Palier de changement</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="166" />
        <source>Least time at the stop where the diver switches gas</source>
        <translation>Durée minimale du palier où le plongeur change de gaz</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="184" />
        <source>GF low</source>
        <translation>GF bas</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="204" />
        <source>GF high</source>
        <translation>GF haut</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="224" />
        <source>Reduction</source>
        <translation>Réduction</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="271" />
        <source>Insert a point after the selected one</source>
        <translation>Insérer un point après celui choisi</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="281" />
        <source>Remove the selected point</source>
        <translation>Supprimer le point choisi</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="311" />
        <source>Create new simulation</source>
        <translation>Créer une nouvelle simulation</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="318" />
        <source>Open simulation</source>
        <translation>Ouvrir une simulation</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="325" />
        <source>Save simulation</source>
        <translation>Enregistrer la simulation</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="332" />
        <source>Fit all</source>
        <translation>Tout afficher</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="339" />
        <source>Hide/Show points</source>
        <translation>Masquer/Afficher les points</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="353" />
        <source>Copy plan</source>
        <translation>Copier le plan</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="360" />
        <source>Export PDF...</source>
        <translation>Exporter en PDF...</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="399" />
        <source>Tissues N2 load at</source>
        <translation>Charge N2 des tissus au</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="407" />
        <source>Start of dive</source>
        <translation>Début de plongée</translation>
    </message>
    <message>
        <location filename="../../app/planningpanel.ui" line="414" />
        <source>End of dive</source>
        <translation>Fin de plongée</translation>
    </message>
</context>
<context>
    <name>SimulationComputer</name>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="22" />
        <source>No computer</source>
        <translation>Aucun ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="70" />
        <source>No Device Found</source>
        <translation>Aucun appareil trouvé</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="73" />
        <source>Problem on Create Device</source>
        <translation>Problème à la création de l'appareil</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="76" />
        <source>Error on Create Device</source>
        <translation>Erreur à la création de l'appareil</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="93" />
        <source>No Computer Found</source>
        <translation>Aucun ordinateur trouvé</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="96" />
        <source>No Controller</source>
        <translation>Pas de contrôleur</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="107" />
        <source>The computer is busy with another command</source>
        <translation>L'ordinateur est occupé par une autre commande</translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="126" />
        <source>Exchange Error: </source>
        <translation>Erreur d'échange : </translation>
    </message>
    <message>
        <location filename="../../app/simulationcomputer.cpp" line="139" />
        <source>Device disconnected</source>
        <translation>Appareil déconnecté</translation>
    </message>
    <message>
        <source>No computer connected</source>
        <translation>Aucun ordinateur connecté</translation>
    </message>
</context>
<context>
    <name>SimulationPanel</name>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="47" />
        <source>Connect</source>
        <translation>Connecter</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="50" />
        <source>Connect the dive computer to replay dives to it</source>
        <translation>Connecter l'ordinateur de plongée pour lui rejouer des plongées</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="51" />
        <source>No computer connected</source>
        <translation>Aucun ordinateur connecté</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="56" />
        <source>Ambient Pressure</source>
        <translation>Pression ambiante</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="58" />
        <source>Manual</source>
        <translation>Manuel</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="66" />
        <location filename="../../app/simulationpanel.cpp" line="312" />
        <source>Ascent</source>
        <translation>Remontée</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="78" />
        <source>NDL/Ceil:</source>
        <translation>NDL/Plafond :</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="80" />
        <source>Point number:</source>
        <translation>Numéro du point :</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="81" />
        <source>Time:</source>
        <translation>Temps :</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="82" />
        <source>Depth:</source>
        <translation>Profondeur :</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="90" />
        <source>Replay the logbook dive to the computer</source>
        <translation>Rejouer la plongée du carnet sur l'ordinateur</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="107" />
        <location filename="../../app/simulationpanel.cpp" line="141" />
        <source>Connecting...</source>
        <translation>Connexion...</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="113" />
        <source>Computer disconnected</source>
        <translation>Ordinateur déconnecté</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="157" />
        <source>Computer connected: %1</source>
        <translation>Ordinateur connecté : %1</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="201" />
        <location filename="../../app/simulationpanel.cpp" line="207" />
        <source>Simulation Error</source>
        <translation>Erreur de simulation</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="201" />
        <source>No dive profile loaded</source>
        <translation>Aucun profil de plongée chargé</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="207" />
        <source>The dive has no profile to replay</source>
        <translation>La plongée n'a pas de profil à rejouer</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="214" />
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="231" />
        <source>NDL</source>
        <translation>NDL</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="231" />
        <source>Ceiling</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="264" />
        <location filename="../../app/simulationpanel.cpp" line="287" />
        <source>Stop ascent</source>
        <translation>Arrêter la remontée</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="264" />
        <source>Are you sure to stop ascent?</source>
        <translation>Voulez-vous vraiment arrêter la remontée ?</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="272" />
        <location filename="../../app/simulationpanel.cpp" line="282" />
        <source>Ascent definition</source>
        <translation>Définition de la remontée</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="273" />
        <source>Target depth</source>
        <translation>Profondeur cible</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="274" />
        <source>Ascent speed</source>
        <translation>Vitesse de remontée</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="282" />
        <source>The target depth must be shallower than the present one</source>
        <translation>La profondeur cible doit être moins profonde que l'actuelle</translation>
    </message>
    <message>
        <location filename="../../app/simulationpanel.cpp" line="337" />
        <source>Pressure: %1 bar</source>
        <translation>Pression : %1 bar</translation>
    </message>
</context>
<context>
    <name>TblDivePointsModel</name>
    <message>
        <location filename="../../app/divepointtable.cpp" line="108" />
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <location filename="../../app/divepointtable.cpp" line="109" />
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <location filename="../../app/divepointtable.cpp" line="110" />
        <source>Gas</source>
        <translation>Gaz</translation>
    </message>
</context>
<context>
    <name>UpdateArchive</name>
    <message>
        <location filename="../../online/updatearchive.cpp" line="27" />
        <location filename="../../online/updatearchive.cpp" line="38" />
        <location filename="../../online/updatearchive.cpp" line="54" />
        <location filename="../../online/updatearchive.cpp" line="76" />
        <source>Damaged archive entry</source>
        <translation>Entrée d'archive endommagée</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="31" />
        <location filename="../../online/updatearchive.cpp" line="49" />
        <location filename="../../online/updatearchive.cpp" line="56" />
        <source>Cannot write %1: %2</source>
        <translation>Impossible d'écrire %1 : %2</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="45" />
        <source>The archive unpacks to more than the allowed size</source>
        <translation>L'archive décompressée dépasse la taille permise</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="64" />
        <location filename="../../online/updatearchive.cpp" line="141" />
        <source>Not a zip archive</source>
        <translation>Ce n'est pas une archive zip</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="66" />
        <location filename="../../online/updatearchive.cpp" line="72" />
        <source>The archive holds too many files</source>
        <translation>L'archive contient trop de fichiers</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="82" />
        <source>The archive holds an entry outside its folder: %1</source>
        <translation>L'archive contient une entrée hors de son dossier : %1</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="86" />
        <location filename="../../online/updatearchive.cpp" line="90" />
        <location filename="../../online/updatearchive.cpp" line="145" />
        <source>Cannot create %1</source>
        <translation>Impossible de créer %1</translation>
    </message>
    <message>
        <location filename="../../online/updatearchive.cpp" line="136" />
        <source>The folder %1 exists already</source>
        <translation>Le dossier %1 existe déjà</translation>
    </message>
</context>
<context>
    <name>WordPressClient</name>
    <message>
        <location filename="../../online/wordpressclient.cpp" line="50" />
        <source>Unsupported address: %1</source>
        <translation>Adresse non prise en charge : %1</translation>
    </message>
    <message>
        <location filename="../../online/wordpressclient.cpp" line="60" />
        <source>Unexpected response</source>
        <translation>Réponse inattendue</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="53" />
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/main.cpp" line="50" />
        <source>Impossible to create the data directory "%1".</source>
        <translation>Impossible de créer le dossier de données « %1 ».</translation>
    </message>
</context>
<context>
    <name>SessionFirmwareUploader</name>
    <message>
        <location filename="../../app/sessionfirmwareuploader.cpp"/>
        <source>No dive computer connected</source>
        <translation>Aucun ordinateur de plongée connecté</translation>
    </message>
    <message>
        <location filename="../../app/sessionfirmwareuploader.cpp"/>
        <source>the link to the dive computer was lost</source>
        <translation>la liaison avec l'ordinateur de plongée a été perdue</translation>
    </message>
</context>
</TS>

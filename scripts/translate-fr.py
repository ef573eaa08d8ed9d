#!/usr/bin/env python3
"""Fills the French translation file with the program's known French texts.

Run after `cmake --build build --target update_translations` has collected new
source texts; texts without a French version here stay unfinished (shown in
English)."""
import pathlib
import re
import xml.etree.ElementTree as ET

FRENCH = {
    "Corvane %1, Profilor %2": "Corvane %1, Profilor %2",
    "Pelagon DiveLog": "Pelagon DiveLog",
    "Database Error": "Erreur de base de données",
    "Impossible to open database": "Impossible d'ouvrir la base de données",
    "Impossible to create database \n": "Impossible de créer la base de données \n",
    "Logbook": "Carnet de plongée",
    "Open a dive file": "Ouvrir un fichier de plongée",
    "Store the dive in the logbook": "Enregistrer la plongée dans le carnet",
    "Computer": "Ordinateur",
    "Computer not connected": "Ordinateur non connecté",
    "Filter dives": "Filtrer les plongées",
    "Fit the whole dive": "Afficher toute la plongée",
    "Points": "Points",
    "Temperature": "Température",
    "Gases": "Gaz",
    "Deco": "Déco",
    "Alerts": "Alertes",
    "Max depth": "Profondeur max",
    "Tank pressure": "Pression bloc",
    "Minimize profile area": "Réduire la zone du profil",
    "Maximize profile area": "Agrandir la zone du profil",
    "Summary": "Résumé",
    "Name": "Nom",
    "Date": "Date",
    "Duration": "Durée",
    "Average depth": "Profondeur moyenne",
    "Dive mode": "Mode de plongée",
    "Water": "Eau",
    "Surface pressure": "Pression de surface",
    "Gradient factors": "Facteurs de gradient",
    "Ceiling": "Plafond",
    "Ascent speed": "Vitesse de remontée",
    "High O2": "O2 élevé",
    "Battery": "Batterie",
    "Transmitter": "Émetteur",
    "Information": "Informations",
    "Place": "Lieu",
    "Site": "Site",
    "Buddy": "Binôme",
    "Save": "Enregistrer",
    "Sample interval": "Intervalle d'échantillonnage",
    "Serial": "Numéro de série",
    "Log": "Journal",
    "Simulation": "Simulation",
    "Values": "Valeurs",
    "Dive planification": "Planification de plongée",
    "File": "Fichier",
    "Help": "Aide",
    "Open...": "Ouvrir...",
    "Quit": "Quitter",
    "About...": "À propos...",
    "Error": "Erreur",
    'Impossible to create the data directory "%1".': "Impossible de créer le dossier de données « %1 ».",
}

path = pathlib.Path(__file__).resolve().parent.parent / "resources/translations/PelagonDiveLog_fr.ts"
tree = ET.parse(path)
for message in tree.iter("message"):
    source = message.findtext("source")
    translation = message.find("translation")
    if source in FRENCH and translation is not None:
        translation.text = FRENCH[source]
        translation.attrib.pop("type", None)
text = ET.tostring(tree.getroot(), encoding="unicode")
path.write_text('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + text + "\n", encoding="utf-8")

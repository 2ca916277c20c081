# The tools program's own windows: backup, restore and check of the data
# files, and the progress of the one running. Loaded by the tools program
# ("veriroru") from its own directory.
library VERIRORU
window VERIRORU title="Outils : sauvegarde et vérification des données" w=720 h=560 default=BT_QUITTER escape=ESC
  caption L_DONNEES x=20 y=12 w=680 h=24 label="Répertoire des données :"
  button BT_SAUVEGARDER x=20 y=44 w=220 h=32 label="&Sauvegarder" code=SVE tab=1
  button BT_VERIFIER x=260 y=44 w=220 h=32 label="&Vérifier et réindexer" code=RIX tab=2
  table SAUVEGARDES x=20 y=90 w=680 h=160 label="Sauvegardes (la plus récente en premier)" tab=3
    column SV_DATE title="Date" w=300
    column SV_DOSSIER title="Dossier" w=360
  button BT_RESTAURER x=480 y=258 w=220 h=32 label="&Restaurer..." code=RST tab=4
  table RAPPORT x=20 y=300 w=680 h=200 label="Compte rendu" tab=5
    column LIGNE title="Texte" w=660
  button BT_QUITTER x=580 y=512 w=120 h=32 label="&Quitter" code=ESC tab=6
end

# Progress of a backup, a restore or a check, opened over VERIRORU while it
# runs and closed before its outcome is shown. The program writes INTITULE,
# ETAPE, FICHIER, COMPTE ("3 sur 25"), the bar JAUGE and POURCENT before each
# data file. Watch-only: its one button is disabled.
window PROGRESSION title="Traitement en cours" x=120 y=160 w=600 h=316 default=BT_PATIENCE escape=ESC
  caption INTITULE    x=20  y=12  w=560 h=52 label="Traitement en cours"
  caption ETAPE       x=20  y=70  w=560 h=24 label="Préparation"
  text    FICHIER     x=20  y=104 w=560 h=24 lw=110 length=255 label="Fichier" state=-
  text    COMPTE      x=20  y=136 w=300 h=24 lw=110 length=30 label="Avancement" state=-
  text    JAUGE       x=20  y=176 w=480 h=24 length=50 label="Progression" state=-
  caption POURCENT    x=510 y=176 w=70  h=24 label="0 %"
  caption L_AIDE      x=20  y=212 w=560 h=22 label="Veuillez patienter : la fenêtre se ferme d'elle-même à la fin."
  button  BT_PATIENCE x=220 y=260 w=160 h=36 label="Patientez..." code=ESC state=-
end

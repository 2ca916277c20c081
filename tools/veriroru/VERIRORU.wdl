# The tools program's own window: backup, restore and check of the data
# files. Loaded by the tools program ("veriroru") from its own directory.
library VERIRORU
window VERIRORU title="Outils : sauvegarde et vérification des données" w=720 h=560 default=BT_QUITTER escape=ESC
  caption L_DONNEES x=20 y=12 w=680 h=24 label="Répertoire des données :"
  button BT_SAUVEGARDER x=20 y=44 w=220 h=32 label="Sauvegarder" code=SVE tab=1
  button BT_VERIFIER x=260 y=44 w=220 h=32 label="Vérifier et réindexer" code=RIX tab=2
  table SAUVEGARDES x=20 y=90 w=680 h=160 label="Sauvegardes (la plus récente en premier)" tab=3
    column SV_DATE title="Date" w=300
    column SV_DOSSIER title="Dossier" w=360
  button BT_RESTAURER x=480 y=258 w=220 h=32 label="Restaurer..." code=RST tab=4
  table RAPPORT x=20 y=300 w=680 h=200 label="Compte rendu" tab=5
    column LIGNE title="Texte" w=660
  button BT_QUITTER x=580 y=512 w=120 h=32 label="Quitter" code=ESC tab=6
end

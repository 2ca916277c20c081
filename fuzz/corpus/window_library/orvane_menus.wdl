# Window library of the ORVANE screen project (format: docs/window-library.md).
# Positions and sizes in pixels; each window lays its fields out on a grid of
# 20-pixel margins, buttons 36 to 40 pixels high.
library ORVANE

# Main menu: the hub of the program.
window MENU title="Sélection et publipostage - Menu principal" x=120 y=80 w=560 h=420 default=BT_REQUETES escape=ESC
  caption L_TITRE     x=20  y=20  w=520 h=32 label="Sélection de clients et publipostage"
  caption L_AIDE      x=20  y=60  w=520 h=24 label="Choisissez une action :"
  button  BT_REQUETES x=150 y=100 w=260 h=40 label="Liste des requêtes" code=T01
  button  BT_AGENDA   x=150 y=156 w=260 h=40 label="Agenda des rendez-vous" code=T03
  button  BT_OUTILS   x=150 y=212 w=260 h=40 label="Outils" code=T04
  button  BT_QUITTER  x=150 y=340 w=260 h=40 label="Quitter le logiciel" code=ESC
end

# Tools menu: label parameters, the file tools, and the way to the other screens.
window EX_MNUOUT title="Outils" x=120 y=80 w=600 h=440 default=BT_ETIQUETTES escape=ESC
  caption L_TITRE         x=20  y=16  w=560 h=32 label="Outils"
  caption L_FICHIERS      x=20  y=60  w=270 h=24 label="Paramètres et fichiers"
  button  BT_ETIQUETTES   x=20  y=92  w=270 h=36 label="Paramètres des étiquettes" code=ETI
  button  BT_SAUVEGARDE   x=20  y=140 w=270 h=36 label="Sauvegarde des fichiers" code=SVE
  button  BT_RESTAURATION x=20  y=188 w=270 h=36 label="Restauration des fichiers" code=RST
  button  BT_REINDEXATION x=20  y=236 w=270 h=36 label="Réindexation des fichiers" code=RIX
  caption L_ALLER         x=310 y=60  w=270 h=24 label="Aller à"
  button  BT_REQUETES     x=310 y=92  w=270 h=36 label="Liste des requêtes" code=T01
  button  BT_MENU         x=310 y=140 w=270 h=36 label="Menu principal" code=T02
  button  BT_AGENDA       x=310 y=188 w=270 h=36 label="Agenda des rendez-vous" code=T03
  button  BT_QUITTER      x=310 y=380 w=270 h=40 label="Quitter le logiciel" code=ESC
end

# Label parameters: the page layout of address labels, in millimetres and counts.
window PARETI title="Paramètres des étiquettes" x=140 y=90 w=560 h=460 default=BT_VALIDER escape=ESC
  caption L_TITRE    x=20  y=16  w=520 h=32 label="Mise en page des étiquettes d'adresse"
  caption L_UNITE    x=20  y=52  w=520 h=22 label="Marges, espacements et dimensions en millimètres"
  text    MHAUTE     x=20  y=90  w=400 h=26 lw=300 length=8 label="Marge haute"
  text    MGAUCHE    x=20  y=124 w=400 h=26 lw=300 length=8 label="Marge gauche"
  text    ESPV       x=20  y=158 w=400 h=26 lw=300 length=8 label="Espacement vertical entre étiquettes"
  text    ESPH       x=20  y=192 w=400 h=26 lw=300 length=8 label="Espacement horizontal entre étiquettes"
  text    HAUTEUR    x=20  y=226 w=400 h=26 lw=300 length=8 label="Hauteur d'une étiquette"
  text    LARGEUR    x=20  y=260 w=400 h=26 lw=300 length=8 label="Largeur d'une étiquette"

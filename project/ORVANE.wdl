# Window library of the ORVANE screen project (format: docs/window-library.md).
# Positions and sizes in pixels; each window lays its fields out on a grid of
# 20-pixel margins, buttons 36 to 40 pixels high.
library ORVANE

# Main menu: the hub of the program.
window MENU title="Sélection et publipostage - Menu principal" x=120 y=80 w=560 h=420 default=BT_REQUETES escape=ESC
  caption L_TITRE     x=20  y=20  w=520 h=32 label="Sélection de clients et publipostage"
  caption L_AIDE      x=20  y=60  w=520 h=24 label="Choisissez une action :"
  button  BT_REQUETES x=150 y=100 w=260 h=40 label="&Liste des requêtes" code=T01
  button  BT_AGENDA   x=150 y=156 w=260 h=40 label="&Agenda des rendez-vous" code=T03
  button  BT_OUTILS   x=150 y=212 w=260 h=40 label="&Outils" code=T04
  button  BT_QUITTER  x=150 y=340 w=260 h=40 label="&Quitter le logiciel" code=ESC
end

# Tools menu: label parameters, the file tools, and the way to the other screens.
window EX_MNUOUT title="Outils" x=120 y=80 w=600 h=440 default=BT_ETIQUETTES escape=ESC
  caption L_TITRE         x=20  y=16  w=560 h=32 label="Outils"
  caption L_FICHIERS      x=20  y=60  w=270 h=24 label="Paramètres et fichiers"
  button  BT_ETIQUETTES   x=20  y=92  w=270 h=36 label="&Paramètres des étiquettes" code=ETI
  button  BT_SAUVEGARDE   x=20  y=140 w=270 h=36 label="&Sauvegarde des fichiers" code=SVE
  button  BT_RESTAURATION x=20  y=188 w=270 h=36 label="&Restauration des fichiers" code=RST
  button  BT_REINDEXATION x=20  y=236 w=270 h=36 label="Réinde&xation des fichiers" code=RIX
  caption L_ALLER         x=310 y=60  w=270 h=24 label="Aller à"
  button  BT_REQUETES     x=310 y=92  w=270 h=36 label="&Liste des requêtes" code=T01
  button  BT_MENU         x=310 y=140 w=270 h=36 label="&Menu principal" code=T02
  button  BT_AGENDA       x=310 y=188 w=270 h=36 label="&Agenda des rendez-vous" code=T03
  button  BT_QUITTER      x=310 y=380 w=270 h=40 label="&Quitter le logiciel" code=ESC
end

# Label parameters: the page layout of address labels, in millimetres and counts.
window PARETI title="Paramètres des étiquettes" x=60 y=60 w=960 h=460 default=BT_VALIDER escape=ESC
  caption L_TITRE    x=20  y=16  w=400 h=32 label="Mise en page des étiquettes d'adresse"
  caption L_UNITE    x=20  y=52  w=400 h=22 label="Marges, espacements et dimensions en millimètres"
  text    MHAUTE     x=20  y=90  w=400 h=26 lw=300 length=8 label="Marge haute"
  text    MGAUCHE    x=20  y=124 w=400 h=26 lw=300 length=8 label="Marge gauche"
  text    ESPV       x=20  y=158 w=400 h=26 lw=300 length=8 label="Espacement vertical entre étiquettes"
  text    ESPH       x=20  y=192 w=400 h=26 lw=300 length=8 label="Espacement horizontal entre étiquettes"
  text    HAUTEUR    x=20  y=226 w=400 h=26 lw=300 length=8 label="Hauteur d'une étiquette"
  text    LARGEUR    x=20  y=260 w=400 h=26 lw=300 length=8 label="Largeur d'une étiquette"
  text    NBETIH     x=20  y=294 w=400 h=26 lw=300 length=3 label="Nombre d'étiquettes en largeur"
  text    NBETIV     x=20  y=328 w=400 h=26 lw=300 length=3 label="Nombre d'étiquettes en hauteur"
  # Label products of the catalogue (project/label_parameters_window.h):
  # picking one fills the eight fields; the preview shows the sheet.
  caption L_PRODUITS x=440 y=16  w=500 h=32 label="Étiquettes du commerce"
  list    PRODUIT    x=440 y=52  w=500 h=170 label="Marque et référence"
  image   APERCU     x=440 y=232 w=110 h=156 label="Aperçu de la feuille" value=""
  caption L_APERCU   x=560 y=232 w=380 h=110 label="Choisissez une référence ou saisissez les dimensions." style=text
  button  BT_APERCU  x=560 y=350 w=240 h=36 label="Vérifier la mise en page" event=CLIC
  button  BT_VALIDER x=690 y=400 w=120 h=36 label="Valider" code=TF0
  button  BT_ANNULER x=820 y=400 w=120 h=36 label="Annuler" code=ESC
end

# Agenda: the appointments of the suite's RDV file, in date and time order
# (docs/agenda.md). The fields below the list take an appointment to add, or
# the new values of the one selected; Enter only refreshes the list.
window AGENDA title="Agenda des rendez-vous" x=80 y=40 w=760 h=580 default=BT_ACTUALISER escape=ESC
  caption L_TITRE      x=20  y=16  w=720 h=30 label="Agenda des rendez-vous"
  table   TABLE_RDV    x=20  y=52  w=720 h=260 label="Rendez-vous" tab=1
    column DATE   title="Date"   w=100
    column HEURE  title="Heure"  w=70
    column CODCLI title="Client" w=110
    column NOM    title="Nom"    w=200
    column OBJET  title="Objet"  w=240
  text    DATE_RDV     x=20  y=324 w=250 h=26 lw=150 length=10 label="Date (JJ/MM/AAAA)" tab=2
  text    HEURE_RDV    x=290 y=324 w=190 h=26 lw=120 length=5 label="Heure (HH:MM)" tab=3
  text    CLIENT_RDV   x=500 y=324 w=240 h=26 lw=110 length=40 label="Code ou nom" tab=4
  text    OBJET_RDV    x=20  y=358 w=720 h=26 lw=150 length=255 label="Objet" tab=5
  text    NOTES_RDV    x=20  y=392 w=720 h=26 lw=150 length=255 label="Notes" tab=6
  button  BT_AJOUTER   x=20  y=432 w=136 h=36 label="&Ajouter" event=CLIC tab=7
  button  BT_REPRENDRE x=166 y=432 w=136 h=36 label="&Reprendre" event=CLIC tab=8
  button  BT_MODIFIER  x=312 y=432 w=136 h=36 label="M&odifier" event=CLIC tab=9
  button  BT_SUPPRIMER x=458 y=432 w=136 h=36 label="&Supprimer" event=CLIC tab=10
  button  BT_ACTUALISER x=604 y=432 w=136 h=36 label="A&ctualiser" code=ACT tab=11
  button  BT_REQUETES  x=20  y=520 w=170 h=40 label="&Liste des requêtes" code=T01 tab=12
  button  BT_MENU      x=200 y=520 w=170 h=40 label="&Menu principal" code=T02 tab=13
  button  BT_OUTILS    x=380 y=520 w=170 h=40 label="Ou&tils" code=T04 tab=14
  button  BT_QUITTER   x=570 y=520 w=170 h=40 label="&Quitter le logiciel" code=ESC tab=15
end

# Query list: the saved queries and every action on them.
window LSTSEL title="Liste des requêtes" x=20 y=20 w=1040 h=540 default=BT_LANCER escape=ESC
  caption L_TITRE      x=20  y=12  w=800 h=30 label="Requêtes de sélection de clients"
  table   REQUETES     x=20  y=48  w=800 h=330 label="Requêtes enregistrées" tab=1
    column DATE      title="Enregistrée le"     w=105
    column TITRE     title="Titre"              w=200
    column CODE      title="Code"               w=75
    column SELECTION title="Dernière sélection" w=175
    column CLIENTS   title="Clients retenus"    w=110
    column CRITERES  title="Critères"           w=133
  caption L_RESUME     x=20  y=384 w=800 h=66 label="Critères de la requête choisie." style=text
  caption CHERCHE4     x=20  y=454 w=800 h=22 label="Choisissez une requête puis une action."
  button  BT_NOUVELLE  x=840 y=48  w=180 h=36 label="&Nouvelle requête" code=AJO tab=2
  button  BT_COMBINER  x=840 y=92  w=180 h=36 label="&Combiner deux requêtes" code=COM tab=3
  button  TIROIR2      x=840 y=136 w=180 h=36 label="M&odifier" code=MOD tab=4
  button  POUBELLE     x=840 y=180 w=180 h=36 label="&Supprimer" code=SUP tab=5
  button  BT_LANCER    x=840 y=244 w=180 h=36 label="&Lancer la sélection" code=LAN tab=6
  button  BT_RESULTATS x=840 y=288 w=180 h=36 label="&Résultats" code=RES tab=7
  button  BT_MENU      x=20  y=484 w=200 h=36 label="&Menu principal" code=T02 tab=8
  button  BT_AGENDA    x=230 y=484 w=200 h=36 label="&Agenda des rendez-vous" code=T03 tab=9
  button  BT_OUTILS    x=440 y=484 w=200 h=36 label="Ou&tils" code=T04 tab=10
  button  BT_QUITTER   x=840 y=484 w=180 h=36 label="&Quitter le logiciel" code=ESC tab=11
end

# Query definition: title, explanations and one button per criteria family.
window SEL01 title="Définition d'une requête" x=40 y=30 w=760 h=516 default=BT_VALIDER escape=ESC
  caption L_TITRE    x=20  y=16  w=720 h=30 label="Définition d'une requête"
  text    TITRE      x=20  y=56  w=720 h=26 lw=140 length=60 label="Titre" tab=1
  text    EXPLIC,1   x=20  y=90  w=720 h=26 lw=140 length=60 label="Explications" tab=2
  text    EXPLIC,2   x=160 y=120 w=580 h=26 length=60 label="Explications, ligne 2" tab=3
  text    EXPLIC,3   x=160 y=150 w=580 h=26 length=60 label="Explications, ligne 3" tab=4
  caption L_CRITERES x=20  y=190 w=720 h=24 label="Critères de sélection :"
  button  BT_IDENTITE x=20  y=222 w=230 h=36 label="Identité" code=01A tab=5
  button  BT_REVENUS  x=265 y=222 w=230 h=36 label="Revenus" code=01B tab=6
  button  BT_EMPRUNTS x=510 y=222 w=230 h=36 label="Emprunts" code=01C tab=7
  button  BT_IMPOTS   x=20  y=266 w=230 h=36 label="Impôts" code=01D tab=8
  button  BT_IMMOUSA  x=265 y=266 w=230 h=36 label="Immobilier d'usage" code=01E tab=9
  button  BT_IMMORAP  x=510 y=266 w=230 h=36 label="Immobilier de rapport" code=01F tab=10
  button  BT_FONCIER  x=20  y=310 w=230 h=36 label="Foncier" code=01G tab=11
  button  BT_VALMOB   x=265 y=310 w=230 h=36 label="Valeurs mobilières" code=01H tab=12
  button  BT_LIQUID   x=510 y=310 w=230 h=36 label="Liquidités" code=01I tab=13
  button  BT_BIENS    x=20  y=354 w=230 h=36 label="Biens divers" code=01J tab=14
  button  BT_ASSVIE   x=265 y=354 w=230 h=36 label="Assurance vie" code=01K tab=15
  button  BT_RETRAITE x=510 y=354 w=230 h=36 label="Retraite" code=01L tab=16
  button  BT_PREVOY   x=20  y=398 w=230 h=36 label="Prévoyance" code=01M tab=17
  button  BT_SUCCESS  x=265 y=398 w=230 h=36 label="Succession" code=01N tab=18
  button  BT_COMPTER  x=285 y=456 w=145 h=40 label="&Compter" code=CPT tab=19
  button  BT_VALIDER  x=440 y=456 w=145 h=40 label="&Enregistrer" code=TF0 tab=20
  button  BT_ANNULER  x=595 y=456 w=145 h=40 label="&Annuler" code=ESC tab=21
end

# Identity criteria: ranges, city and the four lists the window fills itself.
window SEL01A title="Critères d'identité" x=10 y=10 w=1040 h=540 default=BT_VALIDER escape=ESC
  caption L_TITRE   x=20  y=12  w=1000 h=30 label="---  L'IDENTITE  ---"
  caption L_DE      x=200 y=50  w=160 h=22 label="De"
  caption L_A       x=370 y=50  w=150 h=22 label="À"
  text    NOM1DEB   x=20  y=76  w=340 h=26 lw=180 length=35 label="Nom" tab=1
  text    NOM1FIN   x=370 y=76  w=150 h=26 length=35 label="Nom jusqu'à" tab=2
  text    DOS1DEB   x=20  y=110 w=340 h=26 lw=180 length=6 label="Numéro de dossier" tab=3
  text    DOS1FIN   x=370 y=110 w=150 h=26 length=6 label="Numéro de dossier jusqu'à" tab=4
  text    CP1DEB    x=20  y=144 w=340 h=26 lw=180 length=5 label="Code postal" tab=5
  text    CP1FIN    x=370 y=144 w=150 h=26 length=5 label="Code postal jusqu'à" tab=6
  text    AGE1DEB   x=20  y=178 w=340 h=26 lw=180 length=3 label="Âge (ans)" tab=7
  text    AGE1FIN   x=370 y=178 w=150 h=26 length=3 label="Âge jusqu'à" tab=8
  text    ANNI1DEB  x=20  y=212 w=340 h=26 lw=180 length=5 label="Anniversaire (JJ/MM)" tab=9
  text    ANNI1FIN  x=370 y=212 w=150 h=26 length=5 label="Anniversaire jusqu'au" tab=10
  text    VILLE1    x=20  y=246 w=500 h=26 lw=180 length=32 label="Ville" tab=11
  list    SITFAM    x=540 y=50  w=480 h=200 lw=170 label="Situation de famille" tab=12
  list    REGMAT    x=540 y=258 w=480 h=104 lw=170 label="Régime matrimonial" tab=13
  list    FAMPRO1   x=540 y=370 w=480 h=104 lw=170 label="Famille professionnelle" tab=14
  caption LIBELLE11 x=20  y=284 w=500 h=22 label="Profession"
  list    PROFES1   x=20  y=308 w=500 h=166 label="Profession" tab=15
  button  BT_VALIDER x=720 y=484 w=145 h=36 label="Valider" code=TF0 tab=16
  button  BT_ANNULER x=875 y=484 w=145 h=36 label="Annuler" code=ESC tab=17
end

# Rubric criteria, one amount per row (income, taxes, assets, retirement, estate).
window SEL01E title="Critères par rubrique" x=10 y=10 w=760 h=560 default=BT_VALIDER escape=ESC
  caption F_TITRE   x=20  y=16  w=720 h=30 label="Critères par rubrique"
  caption LIBOPTION x=20  y=56  w=200 h=24 label="Option de calcul des" state=I
  caption TEXTE     x=220 y=56  w=120 h=24 label="montants" state=I
  options OPTION    x=350 y=52  w=390 h=60 label="Option" state=I tab=1
    choice "Par personne (biens communs pour moitié)"
    choice "Pour l'ensemble du foyer"
  table   TABLE1    x=20  y=120 w=720 h=370 label="Bornes par rubrique (incluses)" tab=2
    column LIBELLE title="Rubrique"    w=300
    column VALDEB  title="Minimum"     w=170 edit=1
    column VALFIN  title="Maximum"     w=170 edit=1
    column CODRUBR title="Code"        w=70
  button  BT_VALIDER x=440 y=504 w=145 h=36 label="Valider" code=TF0 tab=3
  button  BT_ANNULER x=595 y=504 w=145 h=36 label="Annuler" code=ESC tab=4
end

# Rubric criteria of the loans: outstanding capital and yearly instalments.
window SEL01B title="Critères par rubrique" x=10 y=10 w=860 h=560 default=BT_VALIDER escape=ESC
  caption F_TITRE   x=20  y=16  w=820 h=30 label="Critères par rubrique"
  caption LIBOPTION x=20  y=56  w=200 h=24 label="Option de calcul des" state=I
  caption TEXTE     x=220 y=56  w=120 h=24 label="montants" state=I
  options OPTION    x=350 y=52  w=490 h=60 label="Option" state=I tab=1
    choice "Par personne (biens communs pour moitié)"
    choice "Pour l'ensemble du foyer"
  caption TITRE,1   x=260 y=118 w=280 h=22 label="Capital restant dû"
  caption TITRE,2   x=550 y=118 w=280 h=22 label="Annuités"
  table   TABLE1    x=20  y=142 w=820 h=350 label="Bornes par rubrique (incluses)" tab=2
    column LIBELLE title="Rubrique"    w=230
    column VAL1DEB title="Minimum"     w=140 edit=1
    column VAL1FIN title="Maximum"     w=140 edit=1
    column VAL2DEB title="Minimum"     w=140 edit=1
    column VAL2FIN title="Maximum"     w=140 edit=1
    column CODRUBR title="Code"        w=30
  button  BT_VALIDER x=540 y=504 w=145 h=36 label="Valider" code=TF0 tab=3
  button  BT_ANNULER x=695 y=504 w=145 h=36 label="Annuler" code=ESC tab=4
end

# Rubric criteria with an amount and a yield (rental real estate, land).
window SEL01F title="Critères par rubrique" x=10 y=10 w=860 h=560 default=BT_VALIDER escape=ESC
  caption F_TITRE   x=20  y=16  w=820 h=30 label="Critères par rubrique"
  caption LIBOPTION x=20  y=56  w=200 h=24 label="Option de calcul des" state=I
  caption TEXTE     x=220 y=56  w=120 h=24 label="montants" state=I
  options OPTION    x=350 y=52  w=490 h=60 label="Option" state=I tab=1
    choice "Par personne (biens communs pour moitié)"
    choice "Pour l'ensemble du foyer"
  table   TABLE1    x=20  y=120 w=820 h=372 label="Bornes par rubrique (incluses) : montant et rendement (%)" tab=2
    column LIBELLE title="Rubrique"          w=190
    column VALDEB  title="Montant minimum"   w=130 edit=1
    column VALFIN  title="Montant maximum"   w=130 edit=1
    column RENDDEB title="Rendement minimum" w=150 edit=1
    column RENDFIN title="Rendement maximum" w=150 edit=1
    column CODRUBR title="Code"              w=50
  button  BT_VALIDER x=540 y=504 w=145 h=36 label="Valider" code=TF0 tab=3
  button  BT_ANNULER x=695 y=504 w=145 h=36 label="Annuler" code=ESC tab=4
end

# Rubric criteria of the provident cover: amounts and ratios to income, two ranges per row.
window SEL01G title="Critères par rubrique" x=10 y=10 w=860 h=600 default=BT_VALIDER escape=ESC
  caption F_TITRE   x=20  y=16  w=820 h=30 label="Critères par rubrique"
  caption LIBOPTION x=20  y=56  w=200 h=24 label="Option de calcul des" state=I
  caption TEXTE     x=220 y=56  w=120 h=24 label="montants" state=I
  options OPTION    x=350 y=52  w=490 h=60 label="Option" state=I tab=1
    choice "Par personne (biens communs pour moitié)"
    choice "Pour l'ensemble du foyer"
  caption TITRE,1   x=260 y=118 w=280 h=22 label="Assuré 1"
  caption TITRE,2   x=550 y=118 w=280 h=22 label="Assuré 2"
  table   TABLE1    x=20  y=142 w=820 h=390 label="Bornes par garantie (incluses)" tab=2
    column LIBELLE title="Garantie"    w=230
    column VAL1DEB title="Minimum"     w=140 edit=1
    column VAL1FIN title="Maximum"     w=140 edit=1
    column VAL2DEB title="Minimum"     w=140 edit=1
    column VAL2FIN title="Maximum"     w=140 edit=1
    column CODRUBR title="Code"        w=30
  button  BT_VALIDER x=540 y=544 w=145 h=36 label="Valider" code=TF0 tab=3
  button  BT_ANNULER x=695 y=544 w=145 h=36 label="Annuler" code=ESC tab=4
end

# Combined query: two saved queries joined by union or intersection.
window COMBINE title="Combinaison de deux requêtes" x=40 y=20 w=860 h=540 default=BT_VALIDER escape=ESC
  caption L_TITRE  x=20  y=12  w=820 h=30 label="Combinaison de deux requêtes"
  text    TITRE    x=20  y=48  w=820 h=26 lw=140 length=60 label="Titre" tab=1
  text    EXPLIC,1 x=20  y=80  w=820 h=26 lw=140 length=60 label="Explications" tab=2
  text    EXPLIC,2 x=160 y=110 w=680 h=26 length=60 label="Explications, ligne 2" tab=3
  text    EXPLIC,3 x=160 y=140 w=680 h=26 length=60 label="Explications, ligne 3" tab=4
  table   TABLE1   x=20  y=176 w=330 h=256 label="Première requête" tab=5
    column REQUETE1 title="Code"  w=90
    column texte1   title="Titre" w=230
  text    titre1   x=20  y=440 w=330 h=26 label="Titre de la première requête" state=-
  options OPTION   x=360 y=176 w=140 h=80 label="Opération" value=1 tab=6
    choice "Union (OU)"
    choice "Intersection (ET)"
  image   ENSEMBLE x=370 y=276 w=120 h=90 label="Opération choisie" value="UNION.BMP"
  table   TABLE2   x=510 y=176 w=330 h=256 label="Seconde requête" tab=7
    column REQUETE2 title="Code"  w=90
    column texte2   title="Titre" w=230
  text    titre2   x=510 y=440 w=330 h=26 label="Titre de la seconde requête" state=-
  button  BT_COMPTER x=385 y=480 w=145 h=40 label="&Compter" code=CPT tab=8
  button  BT_VALIDER x=540 y=480 w=145 h=40 label="&Enregistrer" code=TF0 tab=9
  button  BT_ANNULER x=695 y=480 w=145 h=40 label="&Annuler" code=ESC tab=10
end

# Rubric choice: the columns to extract for a query (docs/rubric-lines.md).
window Rubrique title="Rubriques à extraire" x=40 y=30 w=820 h=620 default=BT_FERMER escape=ESC
  caption L_TITRE       x=20  y=16  w=780 h=30 label="Choix des rubriques à extraire"
  text    LECODREQ      x=20  y=56  w=340 h=26 lw=160 length=8 label="Code de la requête" tab=1
  button  B_REQUETE     x=380 y=52  w=220 h=34 label="Charger ses rubriques" event=CLIC tab=2
  caption L_AIDE        x=20  y=94  w=780 h=22 label="Cochez d'un X les rubriques ; option 1 = par personne, 2 = pour le foyer."
  table   TABLE1        x=20  y=122 w=780 h=420 label="Rubriques" tab=3
    column COCHE   title="Extraire" w=70  edit=1
    column FAMILLE title="Famille"  w=180
    column LIBELLE title="Rubrique" w=360
    column CODE    title="Code"     w=70
    column OPT     title="Option"   w=70  edit=1
  button  B_VALIDER     x=330 y=560 w=160 h=40 label="Enregistrer" event=CLIC tab=4
  button  BT_FERMER     x=500 y=560 w=145 h=40 label="Fermer" code=TF0 tab=5
  button  BT_ANNULER    x=655 y=560 w=145 h=40 label="Annuler" code=ESC tab=6
end

# Progress window of the selection run and the extraction: the program writes
# INTITULE, NBTOTAL, NOM, NbTraite and the horse picture CHEVAL; the window's
# code NbTraite.entree moves the bar JAUGE and the percentage POURCENT.
window EX_attente title="Traitement en cours" x=200 y=160 w=520 h=300 default=BT_PATIENCE escape=ESC
  caption INTITULE    x=20  y=16  w=480 h=30 label="Traitement en cours"
  image   CHEVAL      x=20  y=60  w=96  h=72 label="Cheval au galop" value="HORSE1A.BMP"
  text    NOM         x=136 y=60  w=364 h=24 lw=110 length=40 label="Client" state=-
  text    NbTraite    x=136 y=92  w=200 h=24 lw=110 length=10 label="Traités" value="0" state=-
  text    NBTOTAL     x=136 y=124 w=200 h=24 lw=110 length=10 label="Sur un total de" value="0" state=-
  text    JAUGE       x=20  y=170 w=420 h=24 length=50 label="Progression" state=-
  caption POURCENT    x=440 y=170 w=60  h=24 label="0 %"
  caption L_AIDE      x=20  y=206 w=480 h=22 label="Veuillez patienter pendant le traitement du fichier des clients."
  button  BT_PATIENCE x=180 y=244 w=160 h=36 label="Patientez..." code=ESC state=-
end

# Progress of the letters of a query: the program writes the template and the
# query it works on, then for each letter "Lettre n sur N", the client's name
# and the counter, the values written for reading into the hidden table
# VALEURS, and presses the hidden BOUTON1, which merges that client's letter. "Arrêter" (or Escape) asks the program to stop after the current
# letter.
window EX_LETTRES title="Lettres en cours" x=200 y=160 w=560 h=340 default=BT_ARRET escape=STP
  caption INTITULE    x=20  y=16  w=520 h=30 label="Préparation des lettres"
  text    Nom_Lettre  x=20  y=56  w=520 h=24 lw=150 length=60 label="Modèle" state=-
  text    REQUETE     x=20  y=86  w=300 h=24 lw=150 length=8 label="Requête" state=-
  text    NOM         x=20  y=116 w=520 h=24 lw=150 length=40 label="Client" state=-
  text    NbTraite    x=20  y=146 w=300 h=24 lw=150 length=10 label="Lettres écrites" value="0" state=-
  text    NBTOTAL     x=20  y=176 w=300 h=24 lw=150 length=10 label="Sur un total de" value="0" state=-
  text    CODCLI      x=340 y=146 w=200 h=24 lw=90 length=9 label="Code client" state=I
  text    JAUGE       x=20  y=212 w=460 h=24 length=50 label="Progression" state=-
  caption POURCENT    x=480 y=212 w=60  h=24 label="0 %"
  caption L_AIDE      x=20  y=244 w=520 h=22 label="« Arrêter » ou Échap : les lettres s'arrêtent après celle en cours."
  button  BOUTON1     x=20  y=280 w=36  h=36 label="Fusionner la lettre du client" event=CLIC state=I
  table   VALEURS     x=60  y=280 w=120 h=36 label="Valeurs de la lettre" state=I
    column MOT    title="Champ"  w=60
    column VALEUR title="Valeur" w=60
  button  BT_ARRET    x=200 y=276 w=160 h=40 label="Arrêter" code=STP
end

# Result of a query: letters from a template of the data directory, address
# labels of the selected clients, and the way to a new extraction. The program
# writes REQUETE and the label layout when it opens the window; the opening code
# fills the template list Nom_Lettre. BOUTON1 is pressed by the program only: it
# merges the letter of one client.
window RESULTAT title="Résultat de la requête" x=20 y=10 w=1040 h=560 default=BT_FERMER escape=ESC
  caption L_TITRE       x=20  y=12  w=460 h=30 label="Résultat de la sélection"
  text    REQUETE       x=500 y=14  w=240 h=26 lw=80 length=8 label="Requête" state=-
  caption NBRETENUS     x=20  y=46  w=1000 h=22 label="Aucun client retenu"
  # The clients of the last run, filled by the window code (CLIENTS.REMPLIR),
  # which adds one column per extracted rubric after these five.
  table   CLIENTS       x=20  y=72  w=1000 h=212 label="Clients retenus" sort=1 tab=1
    column CODCLI title="Code client" w=100
    column NOM    title="Nom"         w=170
    column PRENOM title="Prénom"      w=140
    column CP     title="Code postal" w=100
    column VILLE  title="Ville"       w=160
  caption L_LETTRE      x=20  y=294 w=440 h=24 label="Modèle de lettre"
  list    Nom_Lettre    x=20  y=320 w=440 h=76 label="Modèle" tab=2
  button  BT_LETTRES    x=20  y=402 w=170 h=32 label="&Lettres" code=LET tab=3
  button  MOTSCLES      x=200 y=402 w=170 h=32 label="&Mots-clés" event=CLIC tab=4
  caption L_ETIQUETTES  x=480 y=294 w=540 h=24 label="Étiquettes : marges, espacements et dimensions en mm"
  text    MHAUTE        x=480 y=320 w=265 h=26 lw=185 length=8 label="Marge haute" tab=9
  text    MGAUCHE       x=755 y=320 w=265 h=26 lw=185 length=8 label="Marge gauche" tab=10
  text    ESPV          x=480 y=352 w=265 h=26 lw=185 length=8 label="Espacement vertical" tab=11
  text    ESPH          x=755 y=352 w=265 h=26 lw=185 length=8 label="Espacement horizontal" tab=12
  text    HAUTEUR       x=480 y=384 w=265 h=26 lw=185 length=8 label="Hauteur d'une étiquette" tab=13
  text    LARGEUR       x=755 y=384 w=265 h=26 lw=185 length=8 label="Largeur d'une étiquette" tab=14
  text    NBETIH        x=480 y=416 w=265 h=26 lw=185 length=3 label="Étiquettes en largeur" tab=15
  text    NBETIV        x=755 y=416 w=265 h=26 lw=185 length=3 label="Étiquettes en hauteur" tab=16
  text    PREMIERE      x=480 y=448 w=265 h=26 lw=185 length=3 label="Première étiquette" value="1" tab=17
  button  ETIQUETTES    x=755 y=444 w=265 h=34 label="Imprimer les é&tiquettes" event=CLIC tab=18
  button  BOUTON1       x=20  y=504 w=36  h=36 label="Fusionner la lettre du client" event=CLIC state=I
  button  EXPORTER      x=520 y=500 w=160 h=40 label="E&xporter" event=CLIC tab=19
  button  BT_EXTRACTION x=690 y=500 w=160 h=40 label="Extr&action" code=RUB tab=20
  button  BT_FERMER     x=860 y=500 w=160 h=40 label="&Fermer" code=ESC tab=21
  # One mail per household, the outline test sheet and printing
  # (project/result_printing.h).
  switch  FOYER         x=20  y=440 w=300 h=24 label="Un courrier par f&oyer" tab=5
  options IMPRESSION    x=64  y=470 w=190 h=70 label="Document à imprimer" value=1 tab=6
    choice "Lettres"
    choice "Étiquettes"
    choice "Feuille de test"
  button  IMPRIMER      x=264 y=500 w=116 h=40 label="&Imprimer" event=CLIC tab=7
  button  CONTOUR       x=388 y=500 w=124 h=40 label="Feuille de te&st" event=CLIC tab=8
end

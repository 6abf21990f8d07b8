<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>lirra</name>
    <message>
        <source>C</source>
        <translation>do</translation>
    </message>
    <message>
        <source>D</source>
        <translation>ré</translation>
    </message>
    <message>
        <source>E</source>
        <translation>mi</translation>
    </message>
    <message>
        <source>F</source>
        <translation>fa</translation>
    </message>
    <message>
        <source>G</source>
        <translation>sol</translation>
    </message>
    <message>
        <source>A</source>
        <translation>la</translation>
    </message>
    <message>
        <source>B</source>
        <translation>si</translation>
    </message>
    <message>
        <source>cSharp</source>
        <translation>do♯ / ré♭</translation>
    </message>
    <message>
        <source>dSharp</source>
        <translation>ré♯ / mi♭</translation>
    </message>
    <message>
        <source>fSharp</source>
        <translation>fa♯ / sol♭</translation>
    </message>
    <message>
        <source>gSharp</source>
        <translation>sol♯ / la♭</translation>
    </message>
    <message>
        <source>aSharp</source>
        <translation>la♯ / si♭</translation>
    </message>
    <message>
        <source>do</source>
        <translation>1</translation>
    </message>
    <message>
        <source>di</source>
        <translation>♯1</translation>
    </message>
    <message>
        <source>ra</source>
        <translation>♭2</translation>
    </message>
    <message>
        <source>re</source>
        <translation>2</translation>
    </message>
    <message>
        <source>ri</source>
        <translation>♯2</translation>
    </message>
    <message>
        <source>me</source>
        <translation>♭3</translation>
    </message>
    <message>
        <source>mi</source>
        <translation>3</translation>
    </message>
    <message>
        <source>fa</source>
        <translation>4</translation>
    </message>
    <message>
        <source>fi</source>
        <translation>♯4</translation>
    </message>
    <message>
        <source>se</source>
        <translation>♭5</translation>
    </message>
    <message>
        <source>sol</source>
        <translation>5</translation>
    </message>
    <message>
        <source>si</source>
        <translation>♯5</translation>
    </message>
    <message>
        <source>le</source>
        <translation>♭6</translation>
    </message>
    <message>
        <source>la</source>
        <translation>6</translation>
    </message>
    <message>
        <source>li</source>
        <translation>♯6</translation>
    </message>
    <message>
        <source>te</source>
        <translation>♭7</translation>
    </message>
    <message>
        <source>ti</source>
        <translation>7</translation>
    </message>
    <message>
        <source>score</source>
        <translation>%1 justes sur %2</translation>
    </message>
    <message>
        <source>tip.next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>tip.howItWorks.title</source>
        <translation>Comment ça marche</translation>
    </message>
    <message>
        <source>tip.howItWorks.content</source>
        <translation>Espace lance une séance : vous entendez une courte cadence qui installe la tonalité, puis une note. Entrée montre le conseil suivant ; Échap ferme la visite.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.1</source>
        <translation>Nommez cette note : jouez-la sur le piano avec la souris, le clavier de l’ordinateur ou un clavier MIDI. Une fausse touche sonne et la question reste : vous pouvez réessayer.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.2</source>
        <translation>Trouvez la bonne et la note rejoint la tonique par degrés conjoints, touche après touche, pour que vous entendiez sa place dans la tonalité.</translation>
    </message>
    <message>
        <source>tip.keyboard.title</source>
        <translation>Le clavier</translation>
    </message>
    <message>
        <source>tip.keyboard.content</source>
        <translation>Les notes du niveau sont allumées et portent leur degré dans la gamme ; 1 est la tonique. Les touches éteintes ne sont pas demandées.</translation>
    </message>
    <message>
        <source>tip.currentLevel.title</source>
        <translation>Le niveau actuel</translation>
    </message>
    <message>
        <source>tip.currentLevel.content</source>
        <translation>La tonalité et le mode que vous travaillez. Un * signale un niveau dont vous avez choisi les notes.</translation>
    </message>
    <message>
        <source>tip.nextLevel.title</source>
        <translation>Niveau suivant</translation>
    </message>
    <message>
        <source>tip.nextLevel.content</source>
        <translation>Passe au niveau suivant (→). Chaque tonalité a six niveaux en majeur et six en mineur, de quatre notes à toute l’octave chromatique.</translation>
    </message>
    <message>
        <source>tip.previousLevel.title</source>
        <translation>Niveau précédent</translation>
    </message>
    <message>
        <source>tip.previousLevel.content</source>
        <translation>Revient d’un niveau en arrière (←).</translation>
    </message>
    <message>
        <source>tip.randomLevel.title</source>
        <translation>Niveau au hasard</translation>
    </message>
    <message>
        <source>tip.randomLevel.content</source>
        <translation>Saute à un niveau tiré au hasard (N).</translation>
    </message>
    <message>
        <source>tip.firstLevel.title</source>
        <translation>Premier niveau</translation>
    </message>
    <message>
        <source>tip.firstLevel.content</source>
        <translation>Vous ramène au tout premier niveau, do majeur (Début).</translation>
    </message>
    <message>
        <source>tip.configureLevel.title</source>
        <translation>Choisir les notes</translation>
    </message>
    <message>
        <source>tip.configureLevel.content</source>
        <translation>Réduisez le niveau aux notes que vous voulez travailler (L).</translation>
    </message>
    <message>
        <source>tip.accuracyRing.title</source>
        <translation>Précision</translation>
    </message>
    <message>
        <source>tip.accuracyRing.content</source>
        <translation>Réponses justes sur toutes les réponses : dans cette séance pendant que vous jouez, sur l’historique du niveau sinon. I montre chaque note.</translation>
    </message>
    <message>
        <source>tip.getStarted.title</source>
        <translation>Prêt ?</translation>
    </message>
    <message>
        <source>tip.getStarted.content</source>
        <translation>Espace lance une séance. Nommez chaque note entendue : tapez-la au clavier de l’ordinateur (%1 pour les touches blanches, %2 pour les noires), choisissez-la sur le piano ou jouez-la sur un clavier MIDI. R rejoue la question ; F1 relance cette visite.</translation>
    </message>
    <message>
        <source>tip.getStarted.button</source>
        <translation>C’est parti</translation>
    </message>
    <message>
        <source>lirra</source>
        <translation>Lirra</translation>
    </message>
    <message>
        <source>earTraining</source>
        <translation>Formation de l’oreille</translation>
    </message>
    <message>
        <source>selectNotes</source>
        <translation>Choisir les notes</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>done</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>sessionAccuracy</source>
        <translation>Précision de la séance</translation>
    </message>
    <message>
        <source>levelAccuracy</source>
        <translation>Précision du niveau</translation>
    </message>
    <message>
        <source>anErrorOccurred</source>
        <translation>Un problème est survenu</translation>
    </message>
    <message>
        <source>practiseToSeeProgress</source>
        <translation>Travaillez ce niveau pour voir vos progrès</translation>
    </message>
    <message>
        <source>sessionKept</source>
        <translation>Votre séance terminée n’est pas perdue : elle est gardée en lieu sûr sur le disque et sera ajoutée à l’historique de ce niveau dès qu’elle pourra être écrite.</translation>
    </message>
    <message>
        <source>goToCMajor</source>
        <translation>Aller à do majeur</translation>
    </message>
    <message>
        <source>goToRandomLevel</source>
        <translation>Aller à un niveau au hasard</translation>
    </message>
    <message>
        <source>goToPreviousLevel</source>
        <translation>Niveau précédent</translation>
    </message>
    <message>
        <source>goToNextLevel</source>
        <translation>Niveau suivant</translation>
    </message>
    <message>
        <source>configureLevel</source>
        <translation>Choisir les notes de ce niveau</translation>
    </message>
    <message>
        <source>startSession</source>
        <translation>Commencer une séance</translation>
    </message>
    <message>
        <source>stopSession</source>
        <translation>Arrêter la séance</translation>
    </message>
    <message>
        <source>replayQuestion</source>
        <translation>Rejouer la question</translation>
    </message>
    <message>
        <source>accuracyInLevel</source>
        <translation>Précision dans ce niveau : réponses justes sur toutes les réponses</translation>
    </message>
    <message>
        <source>accuracyInLevelWithCTA</source>
        <translation>Précision dans ce niveau : réponses justes sur toutes les réponses. Cliquez pour voir chaque note.</translation>
    </message>
    <message>
        <source>accuracyInSession</source>
        <translation>Précision dans cette séance : réponses justes sur toutes les réponses</translation>
    </message>
    <message>
        <source>accuracyInSessionWithCTA</source>
        <translation>Précision dans cette séance : réponses justes sur toutes les réponses. Cliquez pour voir chaque note.</translation>
    </message>
    <message>
        <source>sessionKeptInMemory</source>
        <translation>Votre séance terminée n’a pas pu être gardée ailleurs sur le disque non plus : %1 Elle n’est gardée qu’en mémoire et sera perdue à la fermeture de Lirra, à moins de pouvoir être écrite d’ici là.</translation>
    </message>
    <message>
        <source>sessionKeptNowhereElse</source>
        <translation>Il n’y a pas d’autre endroit sur le disque où la garder.</translation>
    </message>
    <message>
        <source>tryAgain</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <source>quitTitle</source>
        <translation>Quitter Lirra ?</translation>
    </message>
    <message>
        <source>sessionsWillBeLost</source>
        <translation>%1 séances terminées n’ont pu être enregistrées nulle part. Elles seront perdues si Lirra se ferme maintenant.</translation>
    </message>
    <message>
        <source>quitAndLose</source>
        <translation>Quitter et les perdre</translation>
    </message>
    <message>
        <source>preferencesNotSaved</source>
        <translation>Vos réglages n’ont pas pu être enregistrés : %1 Lirra ne se souviendra pas du niveau où vous étiez ni que vous avez vu la visite guidée.</translation>
    </message>
    <message>
        <source>scoreLegend</source>
        <translation>%1 justes · %2 fausses · %3 questions</translation>
    </message>
    <message>
        <source>soundOutputFailed</source>
        <translation>Lirra n’a pas pu démarrer sa sortie audio. Vérifiez que le serveur de son (PipeWire ou PulseAudio) fonctionne et qu’un périphérique audio est branché, puis réessayez.</translation>
    </message>
    <message>
        <source>instrumentFailed</source>
        <translation>Lirra n’a pas pu charger son son de piano : rien ne serait audible. Réinstaller Lirra (avec le paquet fluid-soundfont-gm) le rétablit.</translation>
    </message>
    <message>
        <source>showDetails</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>closeError</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>tip.skip</source>
        <translation>Passer la visite</translation>
    </message>
    <message>
        <source>levelTitle.major</source>
        <translation>%1 majeur</translation>
    </message>
    <message>
        <source>levelTitle.minor</source>
        <translation>%1 mineur</translation>
    </message>
    <message>
        <source>range.lowerHalf</source>
        <translation>moitié basse</translation>
    </message>
    <message>
        <source>range.upperHalf</source>
        <translation>moitié haute</translation>
    </message>
    <message>
        <source>range.wholeOctave</source>
        <translation>octave entière</translation>
    </message>
    <message>
        <source>nature.diatonic</source>
        <translation>diatonique</translation>
    </message>
    <message>
        <source>nature.chromatic</source>
        <translation>chromatique</translation>
    </message>
    <message>
        <source>myLevel</source>
        <translation>mon niveau</translation>
    </message>
    <message>
        <source>myLevels</source>
        <translation>Mes niveaux</translation>
    </message>
    <message>
        <source>suggestedLevelName</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>levelGroup</source>
        <translation>Niveaux en %1</translation>
    </message>
    <message>
        <source>noAnswersYet</source>
        <translation>pas encore de réponses</translation>
    </message>
    <message>
        <source>neverPractised</source>
        <translation>jamais pratiqué</translation>
    </message>
    <message>
        <source>column.level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>column.notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>column.accuracy</source>
        <translation>Précision</translation>
    </message>
    <message>
        <source>column.lastPractised</source>
        <translation>Dernière séance</translation>
    </message>
    <message>
        <source>chooseLevel</source>
        <translation>Choisir un niveau</translation>
    </message>
    <message>
        <source>chooseLevel.title</source>
        <translation>Choisir un niveau</translation>
    </message>
    <message>
        <source>chooseLevel.find</source>
        <translation>&amp;Rechercher :</translation>
    </message>
    <message>
        <source>chooseLevel.findName</source>
        <translation>Rechercher un niveau</translation>
    </message>
    <message>
        <source>chooseLevel.placeholder</source>
        <translation>Tonalité, mode, étendue ou genre, p. ex. la mineur, fa# chrom, haute</translation>
    </message>
    <message>
        <source>chooseLevel.listName</source>
        <translation>Niveaux</translation>
    </message>
    <message>
        <source>chooseLevel.open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>chooseLevel.rename</source>
        <translation>Re&amp;nommer…</translation>
    </message>
    <message>
        <source>chooseLevel.delete</source>
        <translation>&amp;Supprimer…</translation>
    </message>
    <message>
        <source>chooseLevel.renameTip</source>
        <translation>Renommer ce niveau personnel</translation>
    </message>
    <message>
        <source>chooseLevel.deleteTip</source>
        <translation>Supprimer ce niveau personnel ; son historique est conservé</translation>
    </message>
    <message>
        <source>renameLevel.title</source>
        <translation>Renommer le niveau</translation>
    </message>
    <message>
        <source>renameLevel.label</source>
        <translation>Nouveau nom :</translation>
    </message>
    <message>
        <source>deleteLevel.title</source>
        <translation>Supprimer le niveau</translation>
    </message>
    <message>
        <source>deleteLevel.question</source>
        <translation>Supprimer « %1 » ?</translation>
    </message>
    <message>
        <source>deleteLevel.historyKept</source>
        <translation>Son historique reste dans le dossier des séances sous un autre nom : rien de ce que vous avez travaillé n’est perdu.</translation>
    </message>
    <message>
        <source>deleteLevel.confirm</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>saveAsMyLevel</source>
        <translation>Enregistrer comme mon niveau…</translation>
    </message>
    <message>
        <source>saveAsMyLevel.tip</source>
        <translation>Garder ces notes comme niveau personnel, avec son propre historique</translation>
    </message>
    <message>
        <source>notNow</source>
        <translation>Pas maintenant</translation>
    </message>
    <message>
        <source>notNow.description</source>
        <translation>Ne pas enregistrer ces notes</translation>
    </message>
    <message>
        <source>saveLevel.offer</source>
        <translation>Garder ces notes comme niveau personnel ? Cette séance est gardée avec.</translation>
    </message>
    <message>
        <source>saveLevel.editorHint</source>
        <translation>Vous travaillez souvent ces notes ? Gardez-les comme niveau personnel, avec son historique.</translation>
    </message>
    <message>
        <source>saveLevel.title</source>
        <translation>Enregistrer comme mon niveau</translation>
    </message>
    <message>
        <source>saveLevel.label</source>
        <translation>Nom du niveau :</translation>
    </message>
    <message>
        <source>chooseLevel.close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>saveLevel.save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>renameLevel.rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>note.Cbb</source>
        <translation>do♭♭</translation>
    </message>
    <message>
        <source>note.Cb</source>
        <translation>do♭</translation>
    </message>
    <message>
        <source>note.C</source>
        <translation>do</translation>
    </message>
    <message>
        <source>note.C#</source>
        <translation>do♯</translation>
    </message>
    <message>
        <source>note.C##</source>
        <translation>do♯♯</translation>
    </message>
    <message>
        <source>note.Dbb</source>
        <translation>ré♭♭</translation>
    </message>
    <message>
        <source>note.Db</source>
        <translation>ré♭</translation>
    </message>
    <message>
        <source>note.D</source>
        <translation>ré</translation>
    </message>
    <message>
        <source>note.D#</source>
        <translation>ré♯</translation>
    </message>
    <message>
        <source>note.D##</source>
        <translation>ré♯♯</translation>
    </message>
    <message>
        <source>note.Ebb</source>
        <translation>mi♭♭</translation>
    </message>
    <message>
        <source>note.Eb</source>
        <translation>mi♭</translation>
    </message>
    <message>
        <source>note.E</source>
        <translation>mi</translation>
    </message>
    <message>
        <source>note.E#</source>
        <translation>mi♯</translation>
    </message>
    <message>
        <source>note.E##</source>
        <translation>mi♯♯</translation>
    </message>
    <message>
        <source>note.Fbb</source>
        <translation>fa♭♭</translation>
    </message>
    <message>
        <source>note.Fb</source>
        <translation>fa♭</translation>
    </message>
    <message>
        <source>note.F</source>
        <translation>fa</translation>
    </message>
    <message>
        <source>note.F#</source>
        <translation>fa♯</translation>
    </message>
    <message>
        <source>note.F##</source>
        <translation>fa♯♯</translation>
    </message>
    <message>
        <source>note.Gbb</source>
        <translation>sol♭♭</translation>
    </message>
    <message>
        <source>note.Gb</source>
        <translation>sol♭</translation>
    </message>
    <message>
        <source>note.G</source>
        <translation>sol</translation>
    </message>
    <message>
        <source>note.G#</source>
        <translation>sol♯</translation>
    </message>
    <message>
        <source>note.G##</source>
        <translation>sol♯♯</translation>
    </message>
    <message>
        <source>note.Abb</source>
        <translation>la♭♭</translation>
    </message>
    <message>
        <source>note.Ab</source>
        <translation>la♭</translation>
    </message>
    <message>
        <source>note.A</source>
        <translation>la</translation>
    </message>
    <message>
        <source>note.A#</source>
        <translation>la♯</translation>
    </message>
    <message>
        <source>note.A##</source>
        <translation>la♯♯</translation>
    </message>
    <message>
        <source>note.Bbb</source>
        <translation>si♭♭</translation>
    </message>
    <message>
        <source>note.Bb</source>
        <translation>si♭</translation>
    </message>
    <message>
        <source>note.B</source>
        <translation>si</translation>
    </message>
    <message>
        <source>note.B#</source>
        <translation>si♯</translation>
    </message>
    <message>
        <source>note.B##</source>
        <translation>si♯♯</translation>
    </message>
    <message>
        <source>preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>preferences.title</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>preferences.instrument</source>
        <translation>Instrument :</translation>
    </message>
    <message>
        <source>preferences.findInstrument</source>
        <translation>Chercher un instrument</translation>
    </message>
    <message>
        <source>preferences.noInstruments</source>
        <translation>Aucun instrument à choisir : la banque de sons n’a pas pu être lue.</translation>
    </message>
    <message>
        <source>preferences.variation</source>
        <translation>%1 (banque %2)</translation>
    </message>
    <message>
        <source>preferences.tempo</source>
        <translation>Tempo :</translation>
    </message>
    <message>
        <source>preferences.bpm</source>
        <translation> BPM</translation>
    </message>
    <message>
        <source>preferences.tempoTip</source>
        <translation>Battements par minute de la cadence, de la résolution et de chaque pause</translation>
    </message>
    <message>
        <source>preferences.cadence</source>
        <translation>Cadence :</translation>
    </message>
    <message>
        <source>preferences.cadenceEveryQuestion</source>
        <translation>Avant chaque question</translation>
    </message>
    <message>
        <source>preferences.cadenceEvery</source>
        <translation>Toutes les %1 questions</translation>
    </message>
    <message>
        <source>preferences.cadenceAtStart</source>
        <translation>Seulement au début d’une séance ou quand la tonalité change</translation>
    </message>
    <message>
        <source>preferences.cadenceTip</source>
        <translation>Fréquence des accords qui installent la tonalité</translation>
    </message>
    <message>
        <source>preferences.drone</source>
        <translation>Bourdon :</translation>
    </message>
    <message>
        <source>preferences.droneOn</source>
        <translation>Jouer un bourdon doux sur la tonique sous les questions</translation>
    </message>
    <message>
        <source>preferences.droneTip</source>
        <translation>Tonique et quinte, tenues doucement jusqu’à la fin de la séance</translation>
    </message>
    <message>
        <source>preferences.questionLength</source>
        <translation>Note de la question :</translation>
    </message>
    <message>
        <source>preferences.oneBeat</source>
        <translation>%1 temps</translation>
    </message>
    <message>
        <source>preferences.beats</source>
        <translation>%1 temps</translation>
    </message>
    <message>
        <source>preferences.emphasis</source>
        <translation>Note de la question plus forte de :</translation>
    </message>
    <message>
        <source>preferences.emphasisTip</source>
        <translation>De combien la note à nommer sonne plus fort que les accords et les touches</translation>
    </message>
    <message>
        <source>preferences.volume</source>
        <translation>Volume :</translation>
    </message>
    <message>
        <source>preferences.percent</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>preferences.noteNames</source>
        <translation>Noms des notes :</translation>
    </message>
    <message>
        <source>preferences.namesSolfege</source>
        <translation>Degrés selon la distance à la tonique (♯2 / ♭3)</translation>
    </message>
    <message>
        <source>preferences.namesSolfegeForKey</source>
        <translation>Solfège relatif selon la fonction (♭3, ♭6, ♭7)</translation>
    </message>
    <message>
        <source>preferences.namesLettersForKey</source>
        <translation>Noms comme la tonalité les écrit (mi♭, si♭)</translation>
    </message>
    <message>
        <source>preferences.namesDegrees</source>
        <translation>Degrés de la gamme (♭3, ♭6, 7)</translation>
    </message>
    <message>
        <source>preferences.noteNamesTip</source>
        <translation>Comment les touches, l’éditeur de niveau, l’écran de précision et la liste des niveaux nomment les notes</translation>
    </message>
    <message>
        <source>preferences.defaults</source>
        <translation>Valeurs par défaut</translation>
    </message>
    <message>
        <source>preferences.defaultsTip</source>
        <translation>Son, rythme et noms comme à l’installation</translation>
    </message>
    <message>
        <source>preferences.close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>heardAs</source>
        <translation>souvent entendu comme %1</translation>
    </message>
    <message>
        <source>confusions.title</source>
        <translation>Confusions</translation>
    </message>
    <message>
        <source>confusions.open</source>
        <translation>Confusions…</translation>
    </message>
    <message>
        <source>confusions.openTip</source>
        <translation>Quelles notes vous prenez pour quelles autres, en tableau</translation>
    </message>
    <message>
        <source>confusions.span</source>
        <translation>Séances :</translation>
    </message>
    <message>
        <source>confusions.recent</source>
        <translation>Les %1 dernières</translation>
    </message>
    <message>
        <source>confusions.all</source>
        <translation>Toutes</translation>
    </message>
    <message>
        <source>confusions.explain</source>
        <translation>Chaque ligne est une note demandée, chaque colonne la note répondue en premier. La diagonale compte les bonnes premières réponses.</translation>
    </message>
    <message>
        <source>confusions.cell</source>
        <translation>Demandé %1, répondu %2 : %3</translation>
    </message>
    <message>
        <source>confusions.rightCell</source>
        <translation>Demandée %1, bien répondue d’emblée : %2</translation>
    </message>
    <message>
        <source>confusions.askedHeader</source>
        <translation>Demandée : %1</translation>
    </message>
    <message>
        <source>confusions.answeredHeader</source>
        <translation>Répondue : %1</translation>
    </message>
    <message>
        <source>confusions.most</source>
        <translation>Confusions les plus fréquentes : %1</translation>
    </message>
    <message>
        <source>confusions.pair</source>
        <translation>%1 entendu comme %2 (%3×)</translation>
    </message>
    <message>
        <source>confusions.none</source>
        <translation>Aucune confusion dans ces séances.</translation>
    </message>
    <message>
        <source>listening.caption</source>
        <translation>Écoutez : %1. Espace passe la suite.</translation>
    </message>
    <message>
        <source>contrast.pressed</source>
        <translation>Ce que vous avez joué : %1</translation>
    </message>
    <message>
        <source>contrast.asked</source>
        <translation>Ce qui était demandé : %1</translation>
    </message>
    <message>
        <source>summary.text</source>
        <translation>Séance terminée : %1, %2 sur %3 justes (%4).</translation>
    </message>
    <message>
        <source>summary.length</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>summary.improved</source>
        <translation>Plus grand progrès : %1 (+%2).</translation>
    </message>
    <message>
        <source>summary.confused</source>
        <translation>Confusion la plus fréquente : %1 entendu comme %2 (%3×).</translation>
    </message>
    <message>
        <source>preferences.mode</source>
        <translation>Entraînement :</translation>
    </message>
    <message>
        <source>preferences.modeCycle</source>
        <translation>Chaque note à son tour</translation>
    </message>
    <message>
        <source>preferences.modeAdaptive</source>
        <translation>Adaptatif : les notes faibles reviennent</translation>
    </message>
    <message>
        <source>preferences.modeTip</source>
        <translation>L’entraînement adaptatif demande plus souvent les notes manquées ou confondues, ajoute une courte écoute toutes les 12 questions et résume chaque séance</translation>
    </message>
    <message>
        <source>preferences.contrast</source>
        <translation>Après une erreur :</translation>
    </message>
    <message>
        <source>preferences.contrastOn</source>
        <translation>Jouer les deux notes pour comparer</translation>
    </message>
    <message>
        <source>preferences.contrastTip</source>
        <translation>En entraînement adaptatif : une fois la note trouvée, celle jouée et celle demandée sont jouées, chacune avec sa résolution</translation>
    </message>
    <message>
        <source>preferences.yourData</source>
        <translation>Vos données :</translation>
    </message>
    <message>
        <source>preferences.export</source>
        <translation>Exporter l’historique</translation>
    </message>
    <message>
        <source>preferences.exportTip</source>
        <translation>Toutes les séances de chaque niveau, avec les comptes par note et les confusions, en JSON ou CSV</translation>
    </message>
    <message>
        <source>export.title</source>
        <translation>Exporter l’historique</translation>
    </message>
    <message>
        <source>export.asJson</source>
        <translation>En fichier JSON…</translation>
    </message>
    <message>
        <source>export.asCsv</source>
        <translation>En fichiers CSV dans un dossier…</translation>
    </message>
    <message>
        <source>export.jsonFilter</source>
        <translation>Fichiers JSON (*.json)</translation>
    </message>
    <message>
        <source>export.done</source>
        <translation>%1 de %2 exportées vers %3.</translation>
    </message>
    <message>
        <source>export.skipped</source>
        <translation>Non exporté, car illisible :</translation>
    </message>
    <message>
        <source>export.failed</source>
        <translation>Rien n’a été exporté : %1</translation>
    </message>
    <message>
        <source>announce.right</source>
        <translation>Juste.</translation>
    </message>
    <message>
        <source>announce.wrong</source>
        <translation>Faux, essayez encore.</translation>
    </message>
    <message>
        <source>announce.questionReady</source>
        <translation>Votre réponse ?</translation>
    </message>
    <message>
        <source>announce.sessionSaved</source>
        <translation>Séance enregistrée : %1 sur %2 justes.</translation>
    </message>
    <message>
        <source>announce.sessionStopped</source>
        <translation>Séance arrêtée.</translation>
    </message>
    <message>
        <source>announce.error</source>
        <translation>Une erreur s’est produite.</translation>
    </message>
    <message>
        <source>announce.errorWith</source>
        <translation>Une erreur s’est produite : %1</translation>
    </message>
    <message>
        <source>preferences.speechPause</source>
        <translation>Pause pour la lecture :</translation>
    </message>
    <message>
        <source>preferences.speechPauseTip</source>
        <translation>Temps de silence avant chaque question suivante, pour qu’un lecteur d’écran puisse dire comment s’est passée votre réponse avant la cadence.</translation>
    </message>
    <message>
        <source>preferences.speechPauseNone</source>
        <translation>Aucune</translation>
    </message>
    <message>
        <source>preferences.pauseOneBeat</source>
        <translation>%1 temps</translation>
    </message>
    <message>
        <source>preferences.pauseBeats</source>
        <translation>%1 temps</translation>
    </message>
    <message>
        <source>chart.sessions</source>
        <translation>%1 séances du %2 au %3, de %4 à %5, %6</translation>
    </message>
    <message>
        <source>chart.oneSession</source>
        <translation>1 séance le %1, %2</translation>
    </message>
    <message>
        <source>chart.rising</source>
        <translation>en hausse</translation>
    </message>
    <message>
        <source>chart.falling</source>
        <translation>en baisse</translation>
    </message>
    <message>
        <source>chart.steady</source>
        <translation>stable</translation>
    </message>
    <message>
        <source>toolbar.more</source>
        <translation>Autres commandes</translation>
    </message>
    <message>
        <source>preferencesNotRead</source>
        <translation>Vos réglages n’ont pas pu être lus (%1). Lirra fonctionne avec ses réglages par défaut et laisse le fichier tel quel ; ce que vous changez maintenant n’est pas conservé.</translation>
    </message>
    <message>
        <source>narrowingKeptAtQuit</source>
        <translation>À la fermeture de Lirra, les notes que vous travailliez ont été enregistrées comme votre niveau « %1 », avec cet entraînement.</translation>
    </message>
    <message>
        <source>narrowing.title</source>
        <translation>Garder cet entraînement ?</translation>
    </message>
    <message>
        <source>narrowing.text</source>
        <translation>Vous avez travaillé des notes choisies qui ne sont pas encore un niveau à vous. Les enregistrer comme « %1 », avec cet entraînement ? Sinon, l’entraînement est perdu.</translation>
    </message>
    <message>
        <source>narrowing.save</source>
        <translation>Enregistrer comme mon niveau</translation>
    </message>
    <message>
        <source>narrowing.discard</source>
        <translation>Abandonner l’entraînement</translation>
    </message>
    <message>
        <source>chooseLevel.nothingFound</source>
        <translation>Aucun niveau trouvé pour « %1 » (compris comme : %2). Essayez une tonalité et un mode (« fa# mineur », « si♭ majeur »), une partie de l’octave (« haute ») ou un genre (« chromatique »).</translation>
    </message>
    <message>
        <source>note.octaveAbove</source>
        <translation>le %1 à l’octave supérieure</translation>
    </message>
    <message>
        <source>note.octaveBelow</source>
        <translation>le %1 à l’octave inférieure</translation>
    </message>
    <message>
        <source>shortcut.description</source>
        <translation>Raccourci : %1</translation>
    </message>
    <message>
        <source>accuracy.ringName</source>
        <translation>Justesse</translation>
    </message>
    <message>
        <source>key.upperOctave</source>
        <translation>%1, octave supérieure</translation>
    </message>
    <message>
        <source>accuracy.spokenRight</source>
        <translation>%1 de justes</translation>
    </message>
    <message>
        <source>announce.tourClosed</source>
        <translation>Visite fermée. F1 la relance.</translation>
    </message>
    <message>
        <source>preferences.speechPauseAutomatic</source>
        <translation>Automatique : 1 temps avec un lecteur d’écran</translation>
    </message>
    <message>
        <source>preferences.valueName</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>sessionsWillBeLost.one</source>
        <translation>Une séance terminée n’a pu être enregistrée nulle part. Elle sera perdue si Lirra se ferme maintenant.</translation>
    </message>
    <message>
        <source>summary.seconds</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>tour.notNow</source>
        <translation>La visite s’affiche une fois la séance arrêtée.</translation>
    </message>
    <message>
        <source>preferences.restoreQuestion</source>
        <translation>Rétablir tous les réglages d’origine ? L’instrument, le tempo, la cadence, le son, les noms des notes et le mode d’entraînement reviennent à leurs valeurs par défaut.</translation>
    </message>
    <message>
        <source>preferences.restore</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <source>count.sessions.one</source>
        <translation>%1 séance</translation>
    </message>
    <message>
        <source>count.sessions.other</source>
        <translation>%1 séances</translation>
    </message>
    <message>
        <source>count.levels.one</source>
        <translation>%1 niveau</translation>
    </message>
    <message>
        <source>count.levels.other</source>
        <translation>%1 niveaux</translation>
    </message>
    <message>
        <source>announce.melodyNote</source>
        <translation>Note %1 sur %2 : votre réponse ?</translation>
    </message>
    <message>
        <source>announce.rightMelodyNote</source>
        <translation>Juste. Note %1 sur %2 : votre réponse ?</translation>
    </message>
    <message>
        <source>melodiesOf</source>
        <translation>mélodies de %1 notes</translation>
    </message>
    <message>
        <source>melody.notNow</source>
        <translation>Arrêtez la séance pour changer la longueur des questions.</translation>
    </message>
    <message>
        <source>preferences.oneNote</source>
        <translation>une note</translation>
    </message>
    <message>
        <source>preferences.melodyOf</source>
        <translation>une mélodie de %1 notes</translation>
    </message>
    <message>
        <source>preferences.questionLengthTip</source>
        <translation>Une mélodie est jouée après la cadence et nommée note par note ; chaque longueur garde son propre historique (%1)</translation>
    </message>
    <message>
        <source>preferences.melodyLeap</source>
        <translation>La mélodie avance :</translation>
    </message>
    <message>
        <source>preferences.leapSteps</source>
        <translation>par degrés conjoints</translation>
    </message>
    <message>
        <source>preferences.leapThird</source>
        <translation>jusqu’à la tierce</translation>
    </message>
    <message>
        <source>preferences.leapFifth</source>
        <translation>jusqu’à la quinte</translation>
    </message>
    <message>
        <source>preferences.leapAny</source>
        <translation>tout intervalle</translation>
    </message>
    <message>
        <source>preferences.melodyLeapTip</source>
        <translation>Le plus grand saut entre deux notes voisines d’une mélodie</translation>
    </message>
    <message>
        <source>melody.slotsFirst</source>
        <translation>Mélodie de %1 notes : note 1 attendue</translation>
    </message>
    <message>
        <source>melody.slotsWaiting</source>
        <translation>Mélodie : note %1 sur %2 attendue ; trouvées %3</translation>
    </message>
    <message>
        <source>melody.slotsDone</source>
        <translation>Mélodie trouvée : %1</translation>
    </message>
    <message>
        <source>preferences.melodyLength</source>
        <translation>Question :</translation>
    </message>
    <message>
        <source>chord.major</source>
        <translation>accord de %1 majeur</translation>
    </message>
    <message>
        <source>chord.minor</source>
        <translation>accord de %1 mineur</translation>
    </message>
    <message>
        <source>chord.diminished</source>
        <translation>accord de %1 diminué</translation>
    </message>
    <message>
        <source>chords.notNow</source>
        <translation>Arrêtez la séance pour passer des notes aux accords.</translation>
    </message>
    <message>
        <source>chords</source>
        <translation>accords</translation>
    </message>
    <message>
        <source>progressionsOf</source>
        <translation>suites de %1 accords</translation>
    </message>
    <message>
        <source>announce.chord</source>
        <translation>Accord %1 sur %2 : votre réponse ?</translation>
    </message>
    <message>
        <source>announce.rightChord</source>
        <translation>Juste. Accord %1 sur %2 : votre réponse ?</translation>
    </message>
    <message>
        <source>preferences.questionKind</source>
        <translation>Type de question :</translation>
    </message>
    <message>
        <source>preferences.kindNote</source>
        <translation>une note</translation>
    </message>
    <message>
        <source>preferences.kindChord</source>
        <translation>un accord de la tonalité</translation>
    </message>
    <message>
        <source>preferences.questionKindTip</source>
        <translation>Un accord sonne après la cadence et se nomme par sa fondamentale ; les accords ont leur propre historique (%1)</translation>
    </message>
    <message>
        <source>preferences.chordsRepeat</source>
        <translation>Suites d’accords :</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatOn</source>
        <translation>Peuvent répéter un accord</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatTip</source>
        <translation>Quand une question compte plusieurs accords, le même accord peut venir deux fois de suite</translation>
    </message>
    <message>
        <source>preferences.oneChord</source>
        <translation>un accord</translation>
    </message>
    <message>
        <source>preferences.progressionOf</source>
        <translation>une suite de %1 accords</translation>
    </message>
    <message>
        <source>confusions.explainChords</source>
        <translation>Chaque ligne est un accord demandé, chaque colonne l’accord répondu en premier. La diagonale compte les bonnes premières réponses.</translation>
    </message>
</context>
</TS>

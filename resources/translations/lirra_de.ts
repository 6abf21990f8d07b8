<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>lirra</name>
    <message>
        <source>C</source>
        <translation>C</translation>
    </message>
    <message>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>E</source>
        <translation>E</translation>
    </message>
    <message>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>G</source>
        <translation>G</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B</source>
        <translation>H</translation>
    </message>
    <message>
        <source>cSharp</source>
        <translation>Cis / Des</translation>
    </message>
    <message>
        <source>dSharp</source>
        <translation>Dis / Es</translation>
    </message>
    <message>
        <source>fSharp</source>
        <translation>Fis / Ges</translation>
    </message>
    <message>
        <source>gSharp</source>
        <translation>Gis / As</translation>
    </message>
    <message>
        <source>aSharp</source>
        <translation>Ais / B</translation>
    </message>
    <message>
        <source>do</source>
        <translation>do</translation>
    </message>
    <message>
        <source>di</source>
        <translation>di</translation>
    </message>
    <message>
        <source>ra</source>
        <translation>ra</translation>
    </message>
    <message>
        <source>re</source>
        <translation>re</translation>
    </message>
    <message>
        <source>ri</source>
        <translation>ri</translation>
    </message>
    <message>
        <source>me</source>
        <translation>me</translation>
    </message>
    <message>
        <source>mi</source>
        <translation>mi</translation>
    </message>
    <message>
        <source>fa</source>
        <translation>fa</translation>
    </message>
    <message>
        <source>fi</source>
        <translation>fi</translation>
    </message>
    <message>
        <source>se</source>
        <translation>se</translation>
    </message>
    <message>
        <source>sol</source>
        <translation>so</translation>
    </message>
    <message>
        <source>si</source>
        <translation>si</translation>
    </message>
    <message>
        <source>le</source>
        <translation>le</translation>
    </message>
    <message>
        <source>la</source>
        <translation>la</translation>
    </message>
    <message>
        <source>li</source>
        <translation>li</translation>
    </message>
    <message>
        <source>te</source>
        <translation>te</translation>
    </message>
    <message>
        <source>ti</source>
        <translation>ti</translation>
    </message>
    <message>
        <source>score</source>
        <translation>%1 von %2 richtig</translation>
    </message>
    <message>
        <source>tip.next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>tip.howItWorks.title</source>
        <translation>So geht es</translation>
    </message>
    <message>
        <source>tip.howItWorks.content</source>
        <translation>Die Leertaste startet eine Übung: Du hörst eine kurze Kadenz, die die Tonart festlegt, dann einen Ton. Eingabe zeigt den nächsten Hinweis, Escape schließt die Einführung.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.1</source>
        <translation>Benenne diesen Ton: Spiele ihn auf dem Klavier mit der Maus, der Computertastatur oder einem MIDI-Keyboard. Eine falsche Taste erklingt und die Frage bleibt, du kannst es also gleich noch einmal versuchen.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.2</source>
        <translation>Triffst du ihn, läuft der Ton stufenweise zum Grundton, Taste für Taste beleuchtet, damit du hörst, wo er in der Tonart wohnt.</translation>
    </message>
    <message>
        <source>tip.keyboard.title</source>
        <translation>Die Tastatur</translation>
    </message>
    <message>
        <source>tip.keyboard.content</source>
        <translation>Die Töne des Levels leuchten und tragen ihre Tonika-Do-Silbe; Do ist der Grundton. Abgedunkelte Tasten werden nicht abgefragt.</translation>
    </message>
    <message>
        <source>tip.currentLevel.title</source>
        <translation>Das aktuelle Level</translation>
    </message>
    <message>
        <source>tip.currentLevel.content</source>
        <translation>Die Tonart und das Tongeschlecht, die du übst. Ein * kennzeichnet ein Level, dessen Töne du selbst gewählt hast.</translation>
    </message>
    <message>
        <source>tip.nextLevel.title</source>
        <translation>Nächstes Level</translation>
    </message>
    <message>
        <source>tip.nextLevel.content</source>
        <translation>Geht weiter zum nächsten Level (→). Jede Tonart hat sechs Level in Dur und sechs in Moll, von vier Tönen bis zur ganzen chromatischen Oktave.</translation>
    </message>
    <message>
        <source>tip.previousLevel.title</source>
        <translation>Vorheriges Level</translation>
    </message>
    <message>
        <source>tip.previousLevel.content</source>
        <translation>Geht ein Level zurück (←).</translation>
    </message>
    <message>
        <source>tip.randomLevel.title</source>
        <translation>Zufälliges Level</translation>
    </message>
    <message>
        <source>tip.randomLevel.content</source>
        <translation>Springt zu einem zufällig gewählten Level (N).</translation>
    </message>
    <message>
        <source>tip.firstLevel.title</source>
        <translation>Erstes Level</translation>
    </message>
    <message>
        <source>tip.firstLevel.content</source>
        <translation>Bringt dich zurück zum allerersten Level, C-Dur (Pos1).</translation>
    </message>
    <message>
        <source>tip.configureLevel.title</source>
        <translation>Töne wählen</translation>
    </message>
    <message>
        <source>tip.configureLevel.content</source>
        <translation>Beschränke das Level auf die Töne, die du üben möchtest (L).</translation>
    </message>
    <message>
        <source>tip.accuracyRing.title</source>
        <translation>Trefferquote</translation>
    </message>
    <message>
        <source>tip.accuracyRing.content</source>
        <translation>Richtige Antworten von allen Antworten: während des Übens in dieser Übung, sonst über alle Übungen des Levels. I zeigt jeden Ton.</translation>
    </message>
    <message>
        <source>tip.getStarted.title</source>
        <translation>Bereit?</translation>
    </message>
    <message>
        <source>tip.getStarted.content</source>
        <translation>Die Leertaste startet eine Übung. Benenne jeden Ton, den du hörst: Tippe ihn auf der Computertastatur (%1 für die weißen Tasten, %2 für die schwarzen), wähle ihn auf dem Klavier oder spiele ihn auf einem MIDI-Keyboard. R spielt die Frage noch einmal; F1 zeigt diese Einführung erneut.</translation>
    </message>
    <message>
        <source>tip.getStarted.button</source>
        <translation>Los geht’s</translation>
    </message>
    <message>
        <source>lirra</source>
        <translation>Lirra</translation>
    </message>
    <message>
        <source>earTraining</source>
        <translation>Gehörbildung</translation>
    </message>
    <message>
        <source>selectNotes</source>
        <translation>Töne wählen</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>sessionAccuracy</source>
        <translation>Trefferquote dieser Übung</translation>
    </message>
    <message>
        <source>levelAccuracy</source>
        <translation>Trefferquote des Levels</translation>
    </message>
    <message>
        <source>anErrorOccurred</source>
        <translation>Etwas ist schiefgegangen</translation>
    </message>
    <message>
        <source>practiseToSeeProgress</source>
        <translation>Übe dieses Level, um deinen Fortschritt zu sehen</translation>
    </message>
    <message>
        <source>sessionKept</source>
        <translation>Deine beendete Übung ist nicht verloren: Sie ist sicher auf der Festplatte aufbewahrt und kommt in den Verlauf dieses Levels, sobald sie geschrieben werden kann.</translation>
    </message>
    <message>
        <source>goToCMajor</source>
        <translation>Zu C-Dur</translation>
    </message>
    <message>
        <source>goToRandomLevel</source>
        <translation>Zu einem zufälligen Level</translation>
    </message>
    <message>
        <source>goToPreviousLevel</source>
        <translation>Vorheriges Level</translation>
    </message>
    <message>
        <source>goToNextLevel</source>
        <translation>Nächstes Level</translation>
    </message>
    <message>
        <source>configureLevel</source>
        <translation>Die Töne dieses Levels wählen</translation>
    </message>
    <message>
        <source>startSession</source>
        <translation>Übung beginnen</translation>
    </message>
    <message>
        <source>stopSession</source>
        <translation>Übung beenden</translation>
    </message>
    <message>
        <source>replayQuestion</source>
        <translation>Frage noch einmal spielen</translation>
    </message>
    <message>
        <source>accuracyInLevel</source>
        <translation>Trefferquote in diesem Level: richtige Antworten von allen Antworten</translation>
    </message>
    <message>
        <source>accuracyInLevelWithCTA</source>
        <translation>Trefferquote in diesem Level: richtige Antworten von allen Antworten. Klicke, um jeden Ton zu sehen.</translation>
    </message>
    <message>
        <source>accuracyInSession</source>
        <translation>Trefferquote in dieser Übung: richtige Antworten von allen Antworten</translation>
    </message>
    <message>
        <source>accuracyInSessionWithCTA</source>
        <translation>Trefferquote in dieser Übung: richtige Antworten von allen Antworten. Klicke, um jeden Ton zu sehen.</translation>
    </message>
    <message>
        <source>sessionKeptInMemory</source>
        <translation>Deine beendete Übung konnte auch nicht anderswo auf der Festplatte aufbewahrt werden: %1 Sie ist nur im Arbeitsspeicher und geht verloren, wenn Lirra geschlossen wird, es sei denn, sie kann vorher geschrieben werden.</translation>
    </message>
    <message>
        <source>sessionKeptNowhereElse</source>
        <translation>Es gibt keinen anderen Ort auf der Festplatte dafür.</translation>
    </message>
    <message>
        <source>tryAgain</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>quitTitle</source>
        <translation>Lirra beenden?</translation>
    </message>
    <message>
        <source>sessionsWillBeLost</source>
        <translation>%1 beendete Übungen konnten nirgends gespeichert werden. Sie gehen verloren, wenn Lirra jetzt geschlossen wird.</translation>
    </message>
    <message>
        <source>quitAndLose</source>
        <translation>Beenden und verwerfen</translation>
    </message>
    <message>
        <source>preferencesNotSaved</source>
        <translation>Deine Einstellungen konnten nicht gespeichert werden: %1 Lirra merkt sich nicht, bei welchem Level du warst und dass du die Einführung gesehen hast.</translation>
    </message>
    <message>
        <source>scoreLegend</source>
        <translation>%1 richtig · %2 falsch · %3 Fragen</translation>
    </message>
    <message>
        <source>soundOutputFailed</source>
        <translation>Lirra konnte die Tonausgabe nicht starten. Prüfe, ob der Sound-Server (PipeWire oder PulseAudio) läuft und ein Audiogerät angeschlossen ist, und versuche es dann erneut.</translation>
    </message>
    <message>
        <source>instrumentFailed</source>
        <translation>Lirra konnte seinen Klavierklang nicht laden, daher wäre nichts zu hören. Eine Neuinstallation von Lirra (mit dem Paket fluid-soundfont-gm) stellt ihn wieder her.</translation>
    </message>
    <message>
        <source>showDetails</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>closeError</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>tip.skip</source>
        <translation>Einführung überspringen</translation>
    </message>
    <message>
        <source>levelTitle.major</source>
        <translation>%1-Dur</translation>
    </message>
    <message>
        <source>levelTitle.minor</source>
        <translation>%k-Moll</translation>
    </message>
    <message>
        <source>range.lowerHalf</source>
        <translation>untere Hälfte</translation>
    </message>
    <message>
        <source>range.upperHalf</source>
        <translation>obere Hälfte</translation>
    </message>
    <message>
        <source>range.wholeOctave</source>
        <translation>ganze Oktave</translation>
    </message>
    <message>
        <source>nature.diatonic</source>
        <translation>diatonisch</translation>
    </message>
    <message>
        <source>nature.chromatic</source>
        <translation>chromatisch</translation>
    </message>
    <message>
        <source>myLevel</source>
        <translation>eigenes Level</translation>
    </message>
    <message>
        <source>myLevels</source>
        <translation>Meine Level</translation>
    </message>
    <message>
        <source>suggestedLevelName</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>levelGroup</source>
        <translation>Level in %1</translation>
    </message>
    <message>
        <source>noAnswersYet</source>
        <translation>noch keine Antworten</translation>
    </message>
    <message>
        <source>neverPractised</source>
        <translation>noch nie geübt</translation>
    </message>
    <message>
        <source>column.level</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>column.notes</source>
        <translation>Töne</translation>
    </message>
    <message>
        <source>column.accuracy</source>
        <translation>Trefferquote</translation>
    </message>
    <message>
        <source>column.lastPractised</source>
        <translation>Zuletzt geübt</translation>
    </message>
    <message>
        <source>chooseLevel</source>
        <translation>Level wählen</translation>
    </message>
    <message>
        <source>chooseLevel.title</source>
        <translation>Level wählen</translation>
    </message>
    <message>
        <source>chooseLevel.find</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>chooseLevel.findName</source>
        <translation>Level suchen</translation>
    </message>
    <message>
        <source>chooseLevel.placeholder</source>
        <translation>Tonart, Geschlecht, Umfang oder Art, z. B. a-Moll, fis chrom, obere</translation>
    </message>
    <message>
        <source>chooseLevel.listName</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>chooseLevel.open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>chooseLevel.rename</source>
        <translation>&amp;Umbenennen…</translation>
    </message>
    <message>
        <source>chooseLevel.delete</source>
        <translation>&amp;Löschen…</translation>
    </message>
    <message>
        <source>chooseLevel.renameTip</source>
        <translation>Dieses eigene Level umbenennen</translation>
    </message>
    <message>
        <source>chooseLevel.deleteTip</source>
        <translation>Dieses eigene Level löschen; sein Verlauf bleibt erhalten</translation>
    </message>
    <message>
        <source>renameLevel.title</source>
        <translation>Level umbenennen</translation>
    </message>
    <message>
        <source>renameLevel.label</source>
        <translation>Neuer Name:</translation>
    </message>
    <message>
        <source>deleteLevel.title</source>
        <translation>Level löschen</translation>
    </message>
    <message>
        <source>deleteLevel.question</source>
        <translation>„%1“ löschen?</translation>
    </message>
    <message>
        <source>deleteLevel.historyKept</source>
        <translation>Sein Übungsverlauf bleibt unter anderem Namen im Sitzungsordner; nichts Geübtes geht verloren.</translation>
    </message>
    <message>
        <source>deleteLevel.confirm</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>saveAsMyLevel</source>
        <translation>Als eigenes Level speichern…</translation>
    </message>
    <message>
        <source>saveAsMyLevel.tip</source>
        <translation>Diese Töne als eigenes Level mit eigenem Verlauf behalten</translation>
    </message>
    <message>
        <source>notNow</source>
        <translation>Jetzt nicht</translation>
    </message>
    <message>
        <source>notNow.description</source>
        <translation>Diese Töne nicht speichern</translation>
    </message>
    <message>
        <source>saveLevel.offer</source>
        <translation>Diese Töne als eigenes Level behalten? Diese Sitzung kommt mit.</translation>
    </message>
    <message>
        <source>saveLevel.editorHint</source>
        <translation>Übst du diese Töne oft? Behalte sie als eigenes Level mit eigenem Verlauf.</translation>
    </message>
    <message>
        <source>saveLevel.title</source>
        <translation>Als eigenes Level speichern</translation>
    </message>
    <message>
        <source>saveLevel.label</source>
        <translation>Name des Levels:</translation>
    </message>
    <message>
        <source>chooseLevel.close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>saveLevel.save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>renameLevel.rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>note.Cbb</source>
        <translation>Ceses</translation>
    </message>
    <message>
        <source>note.Cb</source>
        <translation>Ces</translation>
    </message>
    <message>
        <source>note.C</source>
        <translation>C</translation>
    </message>
    <message>
        <source>note.C#</source>
        <translation>Cis</translation>
    </message>
    <message>
        <source>note.C##</source>
        <translation>Cisis</translation>
    </message>
    <message>
        <source>note.Dbb</source>
        <translation>Deses</translation>
    </message>
    <message>
        <source>note.Db</source>
        <translation>Des</translation>
    </message>
    <message>
        <source>note.D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>note.D#</source>
        <translation>Dis</translation>
    </message>
    <message>
        <source>note.D##</source>
        <translation>Disis</translation>
    </message>
    <message>
        <source>note.Ebb</source>
        <translation>Eses</translation>
    </message>
    <message>
        <source>note.Eb</source>
        <translation>Es</translation>
    </message>
    <message>
        <source>note.E</source>
        <translation>E</translation>
    </message>
    <message>
        <source>note.E#</source>
        <translation>Eis</translation>
    </message>
    <message>
        <source>note.E##</source>
        <translation>Eisis</translation>
    </message>
    <message>
        <source>note.Fbb</source>
        <translation>Feses</translation>
    </message>
    <message>
        <source>note.Fb</source>
        <translation>Fes</translation>
    </message>
    <message>
        <source>note.F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>note.F#</source>
        <translation>Fis</translation>
    </message>
    <message>
        <source>note.F##</source>
        <translation>Fisis</translation>
    </message>
    <message>
        <source>note.Gbb</source>
        <translation>Geses</translation>
    </message>
    <message>
        <source>note.Gb</source>
        <translation>Ges</translation>
    </message>
    <message>
        <source>note.G</source>
        <translation>G</translation>
    </message>
    <message>
        <source>note.G#</source>
        <translation>Gis</translation>
    </message>
    <message>
        <source>note.G##</source>
        <translation>Gisis</translation>
    </message>
    <message>
        <source>note.Abb</source>
        <translation>Asas</translation>
    </message>
    <message>
        <source>note.Ab</source>
        <translation>As</translation>
    </message>
    <message>
        <source>note.A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>note.A#</source>
        <translation>Ais</translation>
    </message>
    <message>
        <source>note.A##</source>
        <translation>Aisis</translation>
    </message>
    <message>
        <source>note.Bbb</source>
        <translation>Heses</translation>
    </message>
    <message>
        <source>note.Bb</source>
        <translation>B</translation>
    </message>
    <message>
        <source>note.B</source>
        <translation>H</translation>
    </message>
    <message>
        <source>note.B#</source>
        <translation>His</translation>
    </message>
    <message>
        <source>note.B##</source>
        <translation>Hisis</translation>
    </message>
    <message>
        <source>preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>preferences.title</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>preferences.instrument</source>
        <translation>Instrument:</translation>
    </message>
    <message>
        <source>preferences.findInstrument</source>
        <translation>Instrument suchen</translation>
    </message>
    <message>
        <source>preferences.noInstruments</source>
        <translation>Keine Instrumente zur Auswahl: Die Klangdatei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>preferences.variation</source>
        <translation>%1 (Bank %2)</translation>
    </message>
    <message>
        <source>preferences.tempo</source>
        <translation>Tempo:</translation>
    </message>
    <message>
        <source>preferences.bpm</source>
        <translation> BPM</translation>
    </message>
    <message>
        <source>preferences.tempoTip</source>
        <translation>Schläge pro Minute für Kadenz, Auflösung und jede Pause</translation>
    </message>
    <message>
        <source>preferences.cadence</source>
        <translation>Kadenz:</translation>
    </message>
    <message>
        <source>preferences.cadenceEveryQuestion</source>
        <translation>Vor jeder Frage</translation>
    </message>
    <message>
        <source>preferences.cadenceEvery</source>
        <translation>Alle %1 Fragen</translation>
    </message>
    <message>
        <source>preferences.cadenceAtStart</source>
        <translation>Nur zu Beginn einer Übung und bei neuer Tonart</translation>
    </message>
    <message>
        <source>preferences.cadenceTip</source>
        <translation>Wie oft die Akkorde erklingen, die die Tonart festlegen</translation>
    </message>
    <message>
        <source>preferences.drone</source>
        <translation>Bordun:</translation>
    </message>
    <message>
        <source>preferences.droneOn</source>
        <translation>Leisen Grundton-Bordun unter den Fragen spielen</translation>
    </message>
    <message>
        <source>preferences.droneTip</source>
        <translation>Grundton und Quinte, leise gehalten bis zum Ende der Übung</translation>
    </message>
    <message>
        <source>preferences.questionLength</source>
        <translation>Fragenton:</translation>
    </message>
    <message>
        <source>preferences.oneBeat</source>
        <translation>%1 Schlag lang</translation>
    </message>
    <message>
        <source>preferences.beats</source>
        <translation>%1 Schläge lang</translation>
    </message>
    <message>
        <source>preferences.emphasis</source>
        <translation>Fragenton lauter um:</translation>
    </message>
    <message>
        <source>preferences.emphasisTip</source>
        <translation>Wie viel lauter der gesuchte Ton klingt als Akkorde und Tasten</translation>
    </message>
    <message>
        <source>preferences.volume</source>
        <translation>Lautstärke:</translation>
    </message>
    <message>
        <source>preferences.percent</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>preferences.noteNames</source>
        <translation>Notennamen:</translation>
    </message>
    <message>
        <source>preferences.namesSolfege</source>
        <translation>Solmisation nach Abstand zum Grundton (Ri / Me)</translation>
    </message>
    <message>
        <source>preferences.namesSolfegeForKey</source>
        <translation>Solmisation nach Funktion (Me, Le, Te)</translation>
    </message>
    <message>
        <source>preferences.namesLettersForKey</source>
        <translation>Buchstaben wie in der Tonart notiert (Es, B)</translation>
    </message>
    <message>
        <source>preferences.namesDegrees</source>
        <translation>Stufen der Tonleiter (♭3, ♭6, 7)</translation>
    </message>
    <message>
        <source>preferences.noteNamesTip</source>
        <translation>Wie Tasten, Level-Editor, Trefferquote und Levelliste die Töne benennen</translation>
    </message>
    <message>
        <source>preferences.defaults</source>
        <translation>Standardwerte</translation>
    </message>
    <message>
        <source>preferences.defaultsTip</source>
        <translation>Klang, Tempo und Namen wie bei der Installation</translation>
    </message>
    <message>
        <source>preferences.close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>heardAs</source>
        <translation>oft gehört als %1</translation>
    </message>
    <message>
        <source>confusions.title</source>
        <translation>Verwechslungen</translation>
    </message>
    <message>
        <source>confusions.open</source>
        <translation>Verwechslungen…</translation>
    </message>
    <message>
        <source>confusions.openTip</source>
        <translation>Welche Töne du für welche hältst, als Tabelle</translation>
    </message>
    <message>
        <source>confusions.span</source>
        <translation>Übungen:</translation>
    </message>
    <message>
        <source>confusions.recent</source>
        <translation>Die letzten %1</translation>
    </message>
    <message>
        <source>confusions.all</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>confusions.explain</source>
        <translation>Jede Zeile ist ein gefragter Ton, jede Spalte der zuerst geantwortete. Die Diagonale zählt richtige erste Antworten.</translation>
    </message>
    <message>
        <source>confusions.cell</source>
        <translation>Gefragt %1, geantwortet %2: %3</translation>
    </message>
    <message>
        <source>confusions.rightCell</source>
        <translation>Gefragt %1, zuerst richtig geantwortet: %2</translation>
    </message>
    <message>
        <source>confusions.askedHeader</source>
        <translation>Gefragt: %1</translation>
    </message>
    <message>
        <source>confusions.answeredHeader</source>
        <translation>Geantwortet: %1</translation>
    </message>
    <message>
        <source>confusions.most</source>
        <translation>Am häufigsten verwechselt: %1</translation>
    </message>
    <message>
        <source>confusions.pair</source>
        <translation>%1 als %2 gehört (%3×)</translation>
    </message>
    <message>
        <source>confusions.none</source>
        <translation>Keine Verwechslungen in diesen Übungen.</translation>
    </message>
    <message>
        <source>listening.caption</source>
        <translation>Hör zu: %1. Leertaste überspringt den Rest.</translation>
    </message>
    <message>
        <source>contrast.pressed</source>
        <translation>Was du gedrückt hast: %1</translation>
    </message>
    <message>
        <source>contrast.asked</source>
        <translation>Was gefragt war: %1</translation>
    </message>
    <message>
        <source>summary.text</source>
        <translation>Übung beendet: %1, %2 von %3 richtig (%4).</translation>
    </message>
    <message>
        <source>summary.length</source>
        <translation>%1 Min. %2 s</translation>
    </message>
    <message>
        <source>summary.improved</source>
        <translation>Am meisten verbessert: %1 (+%2).</translation>
    </message>
    <message>
        <source>summary.confused</source>
        <translation>Am häufigsten verwechselt: %1 als %2 gehört (%3×).</translation>
    </message>
    <message>
        <source>preferences.mode</source>
        <translation>Übungsweise:</translation>
    </message>
    <message>
        <source>preferences.modeCycle</source>
        <translation>Jeder Ton der Reihe nach</translation>
    </message>
    <message>
        <source>preferences.modeAdaptive</source>
        <translation>Adaptiv: schwache Töne kommen wieder</translation>
    </message>
    <message>
        <source>preferences.modeTip</source>
        <translation>Adaptives Üben fragt Töne, die du verfehlst oder verwechselst, öfter, macht alle 12 Fragen eine kurze Hörpause und fasst jede Übung zusammen</translation>
    </message>
    <message>
        <source>preferences.contrast</source>
        <translation>Nach einem Fehler:</translation>
    </message>
    <message>
        <source>preferences.contrastOn</source>
        <translation>Beide Töne zum Vergleich spielen</translation>
    </message>
    <message>
        <source>preferences.contrastTip</source>
        <translation>Beim adaptiven Üben: Sobald du den Ton gefunden hast, erklingen der gedrückte und der gefragte, jeder mit seiner Auflösung</translation>
    </message>
    <message>
        <source>preferences.yourData</source>
        <translation>Deine Daten:</translation>
    </message>
    <message>
        <source>preferences.export</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>preferences.exportTip</source>
        <translation>Alle Übungen jedes Levels mit Zählungen je Ton und Verwechslungen, als JSON oder CSV</translation>
    </message>
    <message>
        <source>export.title</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>export.asJson</source>
        <translation>Als JSON-Datei…</translation>
    </message>
    <message>
        <source>export.asCsv</source>
        <translation>Als CSV-Dateien in einen Ordner…</translation>
    </message>
    <message>
        <source>export.jsonFilter</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>export.done</source>
        <translation>%1 aus %2 nach %3 exportiert.</translation>
    </message>
    <message>
        <source>export.skipped</source>
        <translation>Nicht exportiert, weil es nicht lesbar war:</translation>
    </message>
    <message>
        <source>export.failed</source>
        <translation>Nichts wurde exportiert: %1</translation>
    </message>
    <message>
        <source>announce.right</source>
        <translation>Richtig.</translation>
    </message>
    <message>
        <source>announce.wrong</source>
        <translation>Falsch, versuch es noch einmal.</translation>
    </message>
    <message>
        <source>announce.questionReady</source>
        <translation>Deine Antwort?</translation>
    </message>
    <message>
        <source>announce.sessionSaved</source>
        <translation>Übung gespeichert: %1 von %2 richtig.</translation>
    </message>
    <message>
        <source>announce.sessionStopped</source>
        <translation>Übung beendet.</translation>
    </message>
    <message>
        <source>announce.error</source>
        <translation>Etwas ist schiefgelaufen.</translation>
    </message>
    <message>
        <source>announce.errorWith</source>
        <translation>Etwas ist schiefgelaufen: %1</translation>
    </message>
    <message>
        <source>preferences.speechPause</source>
        <translation>Pause zum Vorlesen:</translation>
    </message>
    <message>
        <source>preferences.speechPauseTip</source>
        <translation>Schläge Stille vor jeder nächsten Frage, damit ein Bildschirmleser sagen kann, wie deine Antwort war, bevor die Kadenz spielt.</translation>
    </message>
    <message>
        <source>preferences.speechPauseNone</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>preferences.pauseOneBeat</source>
        <translation>%1 Schlag</translation>
    </message>
    <message>
        <source>preferences.pauseBeats</source>
        <translation>%1 Schläge</translation>
    </message>
    <message>
        <source>chart.sessions</source>
        <translation>%1 Übungen vom %2 bis %3, %4 bis %5, %6</translation>
    </message>
    <message>
        <source>chart.oneSession</source>
        <translation>1 Übung am %1, %2</translation>
    </message>
    <message>
        <source>chart.rising</source>
        <translation>steigend</translation>
    </message>
    <message>
        <source>chart.falling</source>
        <translation>fallend</translation>
    </message>
    <message>
        <source>chart.steady</source>
        <translation>gleichbleibend</translation>
    </message>
    <message>
        <source>toolbar.more</source>
        <translation>Weitere Bedienelemente</translation>
    </message>
    <message>
        <source>preferencesNotRead</source>
        <translation>Deine Einstellungen konnten nicht gelesen werden (%1). Lirra läuft mit den Standardeinstellungen und lässt die Datei, wie sie ist; was du jetzt änderst, wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>narrowingKeptAtQuit</source>
        <translation>Als Lirra beendet wurde, wurden die geübten Töne als dein Level „%1“ gespeichert, mit dieser Übung.</translation>
    </message>
    <message>
        <source>narrowing.title</source>
        <translation>Diese Übung behalten?</translation>
    </message>
    <message>
        <source>narrowing.text</source>
        <translation>Du hast ausgewählte Töne geübt, die noch kein eigenes Level sind. Als „%1“ speichern, mit dieser Übung? Sonst geht die Übung verloren.</translation>
    </message>
    <message>
        <source>narrowing.save</source>
        <translation>Als mein Level speichern</translation>
    </message>
    <message>
        <source>narrowing.discard</source>
        <translation>Übung verwerfen</translation>
    </message>
    <message>
        <source>chooseLevel.nothingFound</source>
        <translation>Kein Level gefunden für „%1“ (gelesen als: %2). Versuche eine Tonart und ein Tongeschlecht („fis-Moll“, „B-Dur“, „f# moll“), einen Teil der Oktave („obere“) oder eine Art („chromatisch“).</translation>
    </message>
    <message>
        <source>note.octaveAbove</source>
        <translation>das höhere %1</translation>
    </message>
    <message>
        <source>note.octaveBelow</source>
        <translation>das tiefere %1</translation>
    </message>
    <message>
        <source>shortcut.description</source>
        <translation>Tastenkürzel: %1</translation>
    </message>
    <message>
        <source>accuracy.ringName</source>
        <translation>Genauigkeit</translation>
    </message>
    <message>
        <source>key.upperOctave</source>
        <translation>%1, obere Oktave</translation>
    </message>
    <message>
        <source>accuracy.spokenRight</source>
        <translation>%1 richtig</translation>
    </message>
    <message>
        <source>announce.tourClosed</source>
        <translation>Einführung geschlossen. F1 zeigt sie erneut.</translation>
    </message>
    <message>
        <source>preferences.speechPauseAutomatic</source>
        <translation>Automatisch: 1 Schlag mit Bildschirmleser</translation>
    </message>
    <message>
        <source>preferences.valueName</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>sessionsWillBeLost.one</source>
        <translation>Eine beendete Übung konnte nirgends gespeichert werden. Sie geht verloren, wenn Lirra jetzt geschlossen wird.</translation>
    </message>
    <message>
        <source>summary.seconds</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>tour.notNow</source>
        <translation>Die Einführung erscheint, sobald die Übung endet.</translation>
    </message>
    <message>
        <source>preferences.restoreQuestion</source>
        <translation>Alle Einstellungen auf den Auslieferungszustand zurücksetzen? Instrument, Tempo, Kadenz, Klang, Tonnamen und Übungsart werden zurückgesetzt.</translation>
    </message>
    <message>
        <source>preferences.restore</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>count.sessions.one</source>
        <translation>%1 Übung</translation>
    </message>
    <message>
        <source>count.sessions.other</source>
        <translation>%1 Übungen</translation>
    </message>
    <message>
        <source>count.levels.one</source>
        <translation>%1 Level</translation>
    </message>
    <message>
        <source>count.levels.other</source>
        <translation>%1 Levels</translation>
    </message>
    <message>
        <source>announce.melodyNote</source>
        <translation>Ton %1 von %2: deine Antwort?</translation>
    </message>
    <message>
        <source>announce.rightMelodyNote</source>
        <translation>Richtig. Ton %1 von %2: deine Antwort?</translation>
    </message>
    <message>
        <source>melodiesOf</source>
        <translation>Melodien aus %1 Tönen</translation>
    </message>
    <message>
        <source>melody.notNow</source>
        <translation>Beende die Übung, um die Länge der Fragen zu ändern.</translation>
    </message>
    <message>
        <source>preferences.oneNote</source>
        <translation>ein Ton</translation>
    </message>
    <message>
        <source>preferences.melodyOf</source>
        <translation>eine Melodie aus %1 Tönen</translation>
    </message>
    <message>
        <source>preferences.questionLengthTip</source>
        <translation>Eine Melodie erklingt nach der Kadenz und wird Ton für Ton benannt; jede Länge hat ihren eigenen Verlauf (%1)</translation>
    </message>
    <message>
        <source>preferences.melodyLeap</source>
        <translation>Melodie bewegt sich:</translation>
    </message>
    <message>
        <source>preferences.leapSteps</source>
        <translation>in Schritten</translation>
    </message>
    <message>
        <source>preferences.leapThird</source>
        <translation>bis zur Terz</translation>
    </message>
    <message>
        <source>preferences.leapFifth</source>
        <translation>bis zur Quinte</translation>
    </message>
    <message>
        <source>preferences.leapAny</source>
        <translation>beliebige Intervalle</translation>
    </message>
    <message>
        <source>preferences.melodyLeapTip</source>
        <translation>Der größte Sprung zwischen zwei benachbarten Tönen einer Melodie</translation>
    </message>
    <message>
        <source>melody.slotsFirst</source>
        <translation>Melodie aus %1 Tönen: Ton 1 gesucht</translation>
    </message>
    <message>
        <source>melody.slotsWaiting</source>
        <translation>Melodie: Ton %1 von %2 gesucht; gefunden %3</translation>
    </message>
    <message>
        <source>melody.slotsDone</source>
        <translation>Melodie gefunden: %1</translation>
    </message>
    <message>
        <source>preferences.melodyLength</source>
        <translation>Frage:</translation>
    </message>
    <message>
        <source>chord.major</source>
        <translation>%1-Dur-Akkord</translation>
    </message>
    <message>
        <source>chord.minor</source>
        <translation>%1-Moll-Akkord</translation>
    </message>
    <message>
        <source>chord.diminished</source>
        <translation>verminderter Akkord auf %1</translation>
    </message>
    <message>
        <source>chords.notNow</source>
        <translation>Beende die Übung, um zwischen Tönen und Akkorden zu wechseln.</translation>
    </message>
    <message>
        <source>chords</source>
        <translation>Akkorde</translation>
    </message>
    <message>
        <source>progressionsOf</source>
        <translation>Folgen aus %1 Akkorden</translation>
    </message>
    <message>
        <source>announce.chord</source>
        <translation>Akkord %1 von %2: deine Antwort?</translation>
    </message>
    <message>
        <source>announce.rightChord</source>
        <translation>Richtig. Akkord %1 von %2: deine Antwort?</translation>
    </message>
    <message>
        <source>preferences.questionKind</source>
        <translation>Art der Frage:</translation>
    </message>
    <message>
        <source>preferences.kindNote</source>
        <translation>ein Ton</translation>
    </message>
    <message>
        <source>preferences.kindChord</source>
        <translation>ein Akkord der Tonart</translation>
    </message>
    <message>
        <source>preferences.questionKindTip</source>
        <translation>Nach der Kadenz erklingt ein Akkord und wird mit seinem Grundton benannt; Akkorde haben ihren eigenen Verlauf (%1)</translation>
    </message>
    <message>
        <source>preferences.chordsRepeat</source>
        <translation>Akkordfolgen:</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatOn</source>
        <translation>Dürfen einen Akkord wiederholen</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatTip</source>
        <translation>Wenn eine Frage aus mehreren Akkorden besteht, darf derselbe Akkord zweimal hintereinander kommen</translation>
    </message>
    <message>
        <source>preferences.oneChord</source>
        <translation>ein Akkord</translation>
    </message>
    <message>
        <source>preferences.progressionOf</source>
        <translation>eine Folge aus %1 Akkorden</translation>
    </message>
    <message>
        <source>confusions.explainChords</source>
        <translation>Jede Zeile ist ein gefragter Akkord, jede Spalte der zuerst geantwortete. Die Diagonale zählt richtige erste Antworten.</translation>
    </message>
</context>
</TS>

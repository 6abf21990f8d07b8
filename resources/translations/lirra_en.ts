<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
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
        <translation>B</translation>
    </message>
    <message>
        <source>cSharp</source>
        <translation>C♯ / D♭</translation>
    </message>
    <message>
        <source>dSharp</source>
        <translation>D♯ / E♭</translation>
    </message>
    <message>
        <source>fSharp</source>
        <translation>F♯ / G♭</translation>
    </message>
    <message>
        <source>gSharp</source>
        <translation>G♯ / A♭</translation>
    </message>
    <message>
        <source>aSharp</source>
        <translation>A♯ / B♭</translation>
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
        <translation>sol</translation>
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
        <translation>%1 of %2 right</translation>
    </message>
    <message>
        <source>tip.next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>tip.howItWorks.title</source>
        <translation>How it works</translation>
    </message>
    <message>
        <source>tip.howItWorks.content</source>
        <translation>Space starts a session: you hear a short cadence that sets the key, then one note. Return shows the next tip; Escape closes the tour.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.1</source>
        <translation>Name that note: play it on the piano with the mouse, the computer keyboard or a MIDI keyboard. A wrong key sounds and the question stays, so you can try again.</translation>
    </message>
    <message>
        <source>tip.howItWorks.content.2</source>
        <translation>Name it right and the note walks by scale steps to the tonic, lit key by key, so you hear where it lives in the key.</translation>
    </message>
    <message>
        <source>tip.keyboard.title</source>
        <translation>The keyboard</translation>
    </message>
    <message>
        <source>tip.keyboard.content</source>
        <translation>The notes of the level are lit and labelled with their scale degree; Do is the tonic. Dim keys are not asked.</translation>
    </message>
    <message>
        <source>tip.currentLevel.title</source>
        <translation>The current level</translation>
    </message>
    <message>
        <source>tip.currentLevel.content</source>
        <translation>The key and mode you practise. A * marks a level whose notes you chose yourself.</translation>
    </message>
    <message>
        <source>tip.nextLevel.title</source>
        <translation>Next level</translation>
    </message>
    <message>
        <source>tip.nextLevel.content</source>
        <translation>Moves on to the next level (→). Each key has six levels in major and six in minor, from four notes up to the whole chromatic octave.</translation>
    </message>
    <message>
        <source>tip.previousLevel.title</source>
        <translation>Previous level</translation>
    </message>
    <message>
        <source>tip.previousLevel.content</source>
        <translation>Goes back one level (←).</translation>
    </message>
    <message>
        <source>tip.randomLevel.title</source>
        <translation>Random level</translation>
    </message>
    <message>
        <source>tip.randomLevel.content</source>
        <translation>Jumps to a level picked at random (N).</translation>
    </message>
    <message>
        <source>tip.firstLevel.title</source>
        <translation>First level</translation>
    </message>
    <message>
        <source>tip.firstLevel.content</source>
        <translation>Takes you back to the very first level, C major (Home).</translation>
    </message>
    <message>
        <source>tip.configureLevel.title</source>
        <translation>Choose the notes</translation>
    </message>
    <message>
        <source>tip.configureLevel.content</source>
        <translation>Narrow the level down to the notes you want to drill (L).</translation>
    </message>
    <message>
        <source>tip.accuracyRing.title</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>tip.accuracyRing.content</source>
        <translation>Right answers out of all answers: in this session while you practise, over the level's history otherwise. I shows every note.</translation>
    </message>
    <message>
        <source>tip.getStarted.title</source>
        <translation>Ready?</translation>
    </message>
    <message>
        <source>tip.getStarted.content</source>
        <translation>Space starts a session. Name each note you hear: type it on the computer keyboard (%1 for the white keys, %2 for the black ones), choose it on the piano, or play it on a MIDI keyboard. R plays the question again; F1 shows this tour again.</translation>
    </message>
    <message>
        <source>tip.getStarted.button</source>
        <translation>Let's go</translation>
    </message>
    <message>
        <source>lirra</source>
        <translation>Lirra</translation>
    </message>
    <message>
        <source>earTraining</source>
        <translation>Ear Training</translation>
    </message>
    <message>
        <source>selectNotes</source>
        <translation>Select notes</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>done</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>sessionAccuracy</source>
        <translation>Session accuracy</translation>
    </message>
    <message>
        <source>levelAccuracy</source>
        <translation>Level accuracy</translation>
    </message>
    <message>
        <source>anErrorOccurred</source>
        <translation>Something went wrong</translation>
    </message>
    <message>
        <source>practiseToSeeProgress</source>
        <translation>Practise this level to see your progress</translation>
    </message>
    <message>
        <source>sessionKept</source>
        <translation>Your finished session is not lost: it is kept safe on disk and will be added to this level's history as soon as it can be written.</translation>
    </message>
    <message>
        <source>goToCMajor</source>
        <translation>Go to C major</translation>
    </message>
    <message>
        <source>goToRandomLevel</source>
        <translation>Go to a random level</translation>
    </message>
    <message>
        <source>goToPreviousLevel</source>
        <translation>Previous level</translation>
    </message>
    <message>
        <source>goToNextLevel</source>
        <translation>Next level</translation>
    </message>
    <message>
        <source>configureLevel</source>
        <translation>Choose the notes of this level</translation>
    </message>
    <message>
        <source>startSession</source>
        <translation>Start a session</translation>
    </message>
    <message>
        <source>stopSession</source>
        <translation>Stop the session</translation>
    </message>
    <message>
        <source>replayQuestion</source>
        <translation>Play the question again</translation>
    </message>
    <message>
        <source>accuracyInLevel</source>
        <translation>Accuracy in this level: right answers out of all answers</translation>
    </message>
    <message>
        <source>accuracyInLevelWithCTA</source>
        <translation>Accuracy in this level: right answers out of all answers. Click to see every note.</translation>
    </message>
    <message>
        <source>accuracyInSession</source>
        <translation>Accuracy in this session: right answers out of all answers</translation>
    </message>
    <message>
        <source>accuracyInSessionWithCTA</source>
        <translation>Accuracy in this session: right answers out of all answers. Click to see every note.</translation>
    </message>
    <message>
        <source>sessionKeptInMemory</source>
        <translation>Your finished session could not be kept safe on disk either: %1 It is kept in memory only, and will be lost when Lirra closes unless it can be written before then.</translation>
    </message>
    <message>
        <source>sessionKeptNowhereElse</source>
        <translation>There is no other place on disk to keep it.</translation>
    </message>
    <message>
        <source>tryAgain</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>quitTitle</source>
        <translation>Quit Lirra?</translation>
    </message>
    <message>
        <source>sessionsWillBeLost</source>
        <translation>%1 finished sessions could not be saved anywhere. They will be lost if Lirra closes now.</translation>
    </message>
    <message>
        <source>quitAndLose</source>
        <translation>Quit and lose them</translation>
    </message>
    <message>
        <source>preferencesNotSaved</source>
        <translation>Your settings could not be saved: %1 Lirra will not remember which level you were on or that you have seen the tour.</translation>
    </message>
    <message>
        <source>scoreLegend</source>
        <translation>%1 right · %2 wrong · %3 questions</translation>
    </message>
    <message>
        <source>soundOutputFailed</source>
        <translation>Lirra could not start its sound output. Check that the sound server (PipeWire or PulseAudio) is running and a sound device is connected, then try again.</translation>
    </message>
    <message>
        <source>instrumentFailed</source>
        <translation>Lirra could not load its piano sound, so nothing would sound. Reinstalling Lirra (with the package fluid-soundfont-gm) puts it back.</translation>
    </message>
    <message>
        <source>showDetails</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>closeError</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>tip.skip</source>
        <translation>Skip tour</translation>
    </message>
    <message>
        <source>levelTitle.major</source>
        <translation>%1 major</translation>
    </message>
    <message>
        <source>levelTitle.minor</source>
        <translation>%1 minor</translation>
    </message>
    <message>
        <source>range.lowerHalf</source>
        <translation>lower half</translation>
    </message>
    <message>
        <source>range.upperHalf</source>
        <translation>upper half</translation>
    </message>
    <message>
        <source>range.wholeOctave</source>
        <translation>whole octave</translation>
    </message>
    <message>
        <source>nature.diatonic</source>
        <translation>diatonic</translation>
    </message>
    <message>
        <source>nature.chromatic</source>
        <translation>chromatic</translation>
    </message>
    <message>
        <source>myLevel</source>
        <translation>my level</translation>
    </message>
    <message>
        <source>myLevels</source>
        <translation>My levels</translation>
    </message>
    <message>
        <source>suggestedLevelName</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>levelGroup</source>
        <translation>Levels in %1</translation>
    </message>
    <message>
        <source>noAnswersYet</source>
        <translation>no answers yet</translation>
    </message>
    <message>
        <source>neverPractised</source>
        <translation>never practised</translation>
    </message>
    <message>
        <source>column.level</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>column.notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>column.accuracy</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>column.lastPractised</source>
        <translation>Last practised</translation>
    </message>
    <message>
        <source>chooseLevel</source>
        <translation>Choose a level</translation>
    </message>
    <message>
        <source>chooseLevel.title</source>
        <translation>Choose a level</translation>
    </message>
    <message>
        <source>chooseLevel.find</source>
        <translation>&amp;Find:</translation>
    </message>
    <message>
        <source>chooseLevel.findName</source>
        <translation>Find a level</translation>
    </message>
    <message>
        <source>chooseLevel.placeholder</source>
        <translation>Key, mode, range or kind, e.g. a minor, f# chrom, upper</translation>
    </message>
    <message>
        <source>chooseLevel.listName</source>
        <translation>Levels</translation>
    </message>
    <message>
        <source>chooseLevel.open</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>chooseLevel.rename</source>
        <translation>&amp;Rename…</translation>
    </message>
    <message>
        <source>chooseLevel.delete</source>
        <translation>&amp;Delete…</translation>
    </message>
    <message>
        <source>chooseLevel.renameTip</source>
        <translation>Rename this level of yours</translation>
    </message>
    <message>
        <source>chooseLevel.deleteTip</source>
        <translation>Delete this level of yours; its history is kept</translation>
    </message>
    <message>
        <source>renameLevel.title</source>
        <translation>Rename level</translation>
    </message>
    <message>
        <source>renameLevel.label</source>
        <translation>New name:</translation>
    </message>
    <message>
        <source>deleteLevel.title</source>
        <translation>Delete level</translation>
    </message>
    <message>
        <source>deleteLevel.question</source>
        <translation>Delete “%1”?</translation>
    </message>
    <message>
        <source>deleteLevel.historyKept</source>
        <translation>Its practice history stays in the sessions folder under another name, so nothing you practised is lost.</translation>
    </message>
    <message>
        <source>deleteLevel.confirm</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>saveAsMyLevel</source>
        <translation>Save as my level…</translation>
    </message>
    <message>
        <source>saveAsMyLevel.tip</source>
        <translation>Keep these notes as a level of your own, with its own history</translation>
    </message>
    <message>
        <source>notNow</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>notNow.description</source>
        <translation>Leave these notes unsaved</translation>
    </message>
    <message>
        <source>saveLevel.offer</source>
        <translation>Keep these notes as a level of your own? This session comes with them.</translation>
    </message>
    <message>
        <source>saveLevel.editorHint</source>
        <translation>Practise these notes often? Keep them as a level of your own, with its own history.</translation>
    </message>
    <message>
        <source>saveLevel.title</source>
        <translation>Save as my level</translation>
    </message>
    <message>
        <source>saveLevel.label</source>
        <translation>Name of the level:</translation>
    </message>
    <message>
        <source>chooseLevel.close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>saveLevel.save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>renameLevel.rename</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>note.Cbb</source>
        <translation>C♭♭</translation>
    </message>
    <message>
        <source>note.Cb</source>
        <translation>C♭</translation>
    </message>
    <message>
        <source>note.C</source>
        <translation>C</translation>
    </message>
    <message>
        <source>note.C#</source>
        <translation>C♯</translation>
    </message>
    <message>
        <source>note.C##</source>
        <translation>C♯♯</translation>
    </message>
    <message>
        <source>note.Dbb</source>
        <translation>D♭♭</translation>
    </message>
    <message>
        <source>note.Db</source>
        <translation>D♭</translation>
    </message>
    <message>
        <source>note.D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>note.D#</source>
        <translation>D♯</translation>
    </message>
    <message>
        <source>note.D##</source>
        <translation>D♯♯</translation>
    </message>
    <message>
        <source>note.Ebb</source>
        <translation>E♭♭</translation>
    </message>
    <message>
        <source>note.Eb</source>
        <translation>E♭</translation>
    </message>
    <message>
        <source>note.E</source>
        <translation>E</translation>
    </message>
    <message>
        <source>note.E#</source>
        <translation>E♯</translation>
    </message>
    <message>
        <source>note.E##</source>
        <translation>E♯♯</translation>
    </message>
    <message>
        <source>note.Fbb</source>
        <translation>F♭♭</translation>
    </message>
    <message>
        <source>note.Fb</source>
        <translation>F♭</translation>
    </message>
    <message>
        <source>note.F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>note.F#</source>
        <translation>F♯</translation>
    </message>
    <message>
        <source>note.F##</source>
        <translation>F♯♯</translation>
    </message>
    <message>
        <source>note.Gbb</source>
        <translation>G♭♭</translation>
    </message>
    <message>
        <source>note.Gb</source>
        <translation>G♭</translation>
    </message>
    <message>
        <source>note.G</source>
        <translation>G</translation>
    </message>
    <message>
        <source>note.G#</source>
        <translation>G♯</translation>
    </message>
    <message>
        <source>note.G##</source>
        <translation>G♯♯</translation>
    </message>
    <message>
        <source>note.Abb</source>
        <translation>A♭♭</translation>
    </message>
    <message>
        <source>note.Ab</source>
        <translation>A♭</translation>
    </message>
    <message>
        <source>note.A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>note.A#</source>
        <translation>A♯</translation>
    </message>
    <message>
        <source>note.A##</source>
        <translation>A♯♯</translation>
    </message>
    <message>
        <source>note.Bbb</source>
        <translation>B♭♭</translation>
    </message>
    <message>
        <source>note.Bb</source>
        <translation>B♭</translation>
    </message>
    <message>
        <source>note.B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>note.B#</source>
        <translation>B♯</translation>
    </message>
    <message>
        <source>note.B##</source>
        <translation>B♯♯</translation>
    </message>
    <message>
        <source>preferences</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>preferences.title</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>preferences.instrument</source>
        <translation>Instrument:</translation>
    </message>
    <message>
        <source>preferences.findInstrument</source>
        <translation>Find an instrument</translation>
    </message>
    <message>
        <source>preferences.noInstruments</source>
        <translation>No instruments to choose from: the sound font could not be read.</translation>
    </message>
    <message>
        <source>preferences.variation</source>
        <translation>%1 (bank %2)</translation>
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
        <translation>Beats per minute of the cadence, the resolution and every pause</translation>
    </message>
    <message>
        <source>preferences.cadence</source>
        <translation>Cadence:</translation>
    </message>
    <message>
        <source>preferences.cadenceEveryQuestion</source>
        <translation>Before every question</translation>
    </message>
    <message>
        <source>preferences.cadenceEvery</source>
        <translation>Every %1 questions</translation>
    </message>
    <message>
        <source>preferences.cadenceAtStart</source>
        <translation>Only when a session starts or the key changes</translation>
    </message>
    <message>
        <source>preferences.cadenceTip</source>
        <translation>How often the chords that set the key are played</translation>
    </message>
    <message>
        <source>preferences.drone</source>
        <translation>Drone:</translation>
    </message>
    <message>
        <source>preferences.droneOn</source>
        <translation>Play a soft tonic drone under the questions</translation>
    </message>
    <message>
        <source>preferences.droneTip</source>
        <translation>Tonic and fifth, held quietly until the session stops</translation>
    </message>
    <message>
        <source>preferences.questionLength</source>
        <translation>Question note:</translation>
    </message>
    <message>
        <source>preferences.oneBeat</source>
        <translation>%1 beat long</translation>
    </message>
    <message>
        <source>preferences.beats</source>
        <translation>%1 beats long</translation>
    </message>
    <message>
        <source>preferences.emphasis</source>
        <translation>Question note louder by:</translation>
    </message>
    <message>
        <source>preferences.emphasisTip</source>
        <translation>How much louder the note to name sounds than the chords and the keys</translation>
    </message>
    <message>
        <source>preferences.volume</source>
        <translation>Volume:</translation>
    </message>
    <message>
        <source>preferences.percent</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>preferences.noteNames</source>
        <translation>Note names:</translation>
    </message>
    <message>
        <source>preferences.namesSolfege</source>
        <translation>Solfège by distance from the tonic (Ri / Me)</translation>
    </message>
    <message>
        <source>preferences.namesSolfegeForKey</source>
        <translation>Solfège by function (Me, Le, Te)</translation>
    </message>
    <message>
        <source>preferences.namesLettersForKey</source>
        <translation>Letters as the key writes them (E♭, B♭)</translation>
    </message>
    <message>
        <source>preferences.namesDegrees</source>
        <translation>Scale degrees (♭3, ♭6, 7)</translation>
    </message>
    <message>
        <source>preferences.noteNamesTip</source>
        <translation>How the keys, the level editor, the accuracy screen and the list of levels name notes</translation>
    </message>
    <message>
        <source>preferences.defaults</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>preferences.defaultsTip</source>
        <translation>Sound, pace and names as the app comes</translation>
    </message>
    <message>
        <source>preferences.close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>heardAs</source>
        <translation>often heard as %1</translation>
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
        <translation>Which notes you take for which, as a table</translation>
    </message>
    <message>
        <source>confusions.span</source>
        <translation>Sessions:</translation>
    </message>
    <message>
        <source>confusions.recent</source>
        <translation>The last %1</translation>
    </message>
    <message>
        <source>confusions.all</source>
        <translation>All</translation>
    </message>
    <message>
        <source>confusions.explain</source>
        <translation>Each row is a note asked, each column the note first answered. The diagonal counts right first answers.</translation>
    </message>
    <message>
        <source>confusions.cell</source>
        <translation>Asked %1, answered %2: %3</translation>
    </message>
    <message>
        <source>confusions.rightCell</source>
        <translation>Asked %1, answered right first: %2</translation>
    </message>
    <message>
        <source>confusions.askedHeader</source>
        <translation>Asked: %1</translation>
    </message>
    <message>
        <source>confusions.answeredHeader</source>
        <translation>Answered: %1</translation>
    </message>
    <message>
        <source>confusions.most</source>
        <translation>Most often confused: %1</translation>
    </message>
    <message>
        <source>confusions.pair</source>
        <translation>%1 heard as %2 (%3×)</translation>
    </message>
    <message>
        <source>confusions.none</source>
        <translation>No confusions in these sessions.</translation>
    </message>
    <message>
        <source>listening.caption</source>
        <translation>Listen: %1. Space skips the rest.</translation>
    </message>
    <message>
        <source>contrast.pressed</source>
        <translation>What you pressed: %1</translation>
    </message>
    <message>
        <source>contrast.asked</source>
        <translation>What was asked: %1</translation>
    </message>
    <message>
        <source>summary.text</source>
        <translation>Session over: %1, %2 of %3 right (%4).</translation>
    </message>
    <message>
        <source>summary.length</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>summary.improved</source>
        <translation>Most improved: %1 (+%2).</translation>
    </message>
    <message>
        <source>summary.confused</source>
        <translation>Most confused: %1 heard as %2 (%3×).</translation>
    </message>
    <message>
        <source>preferences.mode</source>
        <translation>Practice:</translation>
    </message>
    <message>
        <source>preferences.modeCycle</source>
        <translation>Every note in turn</translation>
    </message>
    <message>
        <source>preferences.modeAdaptive</source>
        <translation>Adaptive: weak notes come back</translation>
    </message>
    <message>
        <source>preferences.modeTip</source>
        <translation>Adaptive practice asks the notes you miss or mix up more often, adds a short listening break every 12 questions and sums up each session</translation>
    </message>
    <message>
        <source>preferences.contrast</source>
        <translation>After a mistake:</translation>
    </message>
    <message>
        <source>preferences.contrastOn</source>
        <translation>Play both notes to compare</translation>
    </message>
    <message>
        <source>preferences.contrastTip</source>
        <translation>In adaptive practice: once you find the note, the one you pressed and the one asked are played, each with its resolution</translation>
    </message>
    <message>
        <source>preferences.yourData</source>
        <translation>Your data:</translation>
    </message>
    <message>
        <source>preferences.export</source>
        <translation>Export history</translation>
    </message>
    <message>
        <source>preferences.exportTip</source>
        <translation>Every level's sessions, with per-note counts and confusions, as JSON or CSV</translation>
    </message>
    <message>
        <source>export.title</source>
        <translation>Export history</translation>
    </message>
    <message>
        <source>export.asJson</source>
        <translation>As a JSON file…</translation>
    </message>
    <message>
        <source>export.asCsv</source>
        <translation>As CSV files in a folder…</translation>
    </message>
    <message>
        <source>export.jsonFilter</source>
        <translation>JSON files (*.json)</translation>
    </message>
    <message>
        <source>export.done</source>
        <translation>Exported %1 of %2 to %3.</translation>
    </message>
    <message>
        <source>export.skipped</source>
        <translation>Not exported, because it could not be read:</translation>
    </message>
    <message>
        <source>export.failed</source>
        <translation>Nothing was exported: %1</translation>
    </message>
    <message>
        <source>announce.right</source>
        <translation>Right.</translation>
    </message>
    <message>
        <source>announce.wrong</source>
        <translation>Wrong, try again.</translation>
    </message>
    <message>
        <source>announce.questionReady</source>
        <translation>Your answer?</translation>
    </message>
    <message>
        <source>announce.sessionSaved</source>
        <translation>Session saved: %1 of %2 right.</translation>
    </message>
    <message>
        <source>announce.sessionStopped</source>
        <translation>Session stopped.</translation>
    </message>
    <message>
        <source>announce.error</source>
        <translation>Something went wrong.</translation>
    </message>
    <message>
        <source>announce.errorWith</source>
        <translation>Something went wrong: %1</translation>
    </message>
    <message>
        <source>preferences.speechPause</source>
        <translation>Pause for speech:</translation>
    </message>
    <message>
        <source>preferences.speechPauseTip</source>
        <translation>Beats of silence before each next question, so that a screen reader can say how your answer went before the cadence plays.</translation>
    </message>
    <message>
        <source>preferences.speechPauseNone</source>
        <translation>None</translation>
    </message>
    <message>
        <source>preferences.pauseOneBeat</source>
        <translation>%1 beat</translation>
    </message>
    <message>
        <source>preferences.pauseBeats</source>
        <translation>%1 beats</translation>
    </message>
    <message>
        <source>chart.sessions</source>
        <translation>%1 sessions from %2 to %3, %4 to %5, %6</translation>
    </message>
    <message>
        <source>chart.oneSession</source>
        <translation>1 session on %1, %2</translation>
    </message>
    <message>
        <source>chart.rising</source>
        <translation>rising</translation>
    </message>
    <message>
        <source>chart.falling</source>
        <translation>falling</translation>
    </message>
    <message>
        <source>chart.steady</source>
        <translation>steady</translation>
    </message>
    <message>
        <source>toolbar.more</source>
        <translation>More controls</translation>
    </message>
    <message>
        <source>preferencesNotRead</source>
        <translation>Your settings could not be read (%1). Lirra runs with its default settings and leaves the file as it is; what you change now is not kept.</translation>
    </message>
    <message>
        <source>narrowingKeptAtQuit</source>
        <translation>When Lirra was closed, the notes you had practised were saved as your level “%1”, with that practice.</translation>
    </message>
    <message>
        <source>narrowing.title</source>
        <translation>Keep this practice?</translation>
    </message>
    <message>
        <source>narrowing.text</source>
        <translation>You practised notes you chose, but they are not a level of your own yet. Save them as “%1”, with that practice? Otherwise the practice is lost.</translation>
    </message>
    <message>
        <source>narrowing.save</source>
        <translation>Save as my level</translation>
    </message>
    <message>
        <source>narrowing.discard</source>
        <translation>Discard the practice</translation>
    </message>
    <message>
        <source>chooseLevel.nothingFound</source>
        <translation>No level found for “%1” (read as: %2). Try a key and a mode (“f# minor”, “B♭ major”, “Bbm”), a part of the octave (“upper”) or a kind (“chromatic”).</translation>
    </message>
    <message>
        <source>note.octaveAbove</source>
        <translation>the %1 above</translation>
    </message>
    <message>
        <source>note.octaveBelow</source>
        <translation>the %1 below</translation>
    </message>
    <message>
        <source>shortcut.description</source>
        <translation>Shortcut: %1</translation>
    </message>
    <message>
        <source>accuracy.ringName</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>key.upperOctave</source>
        <translation>%1, upper octave</translation>
    </message>
    <message>
        <source>accuracy.spokenRight</source>
        <translation>%1 right</translation>
    </message>
    <message>
        <source>announce.tourClosed</source>
        <translation>Tour closed. F1 shows it again.</translation>
    </message>
    <message>
        <source>preferences.speechPauseAutomatic</source>
        <translation>Automatic: 1 beat with a screen reader</translation>
    </message>
    <message>
        <source>preferences.valueName</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>sessionsWillBeLost.one</source>
        <translation>A finished session could not be saved anywhere. It will be lost if Lirra closes now.</translation>
    </message>
    <message>
        <source>summary.seconds</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>tour.notNow</source>
        <translation>The tour shows once the session stops.</translation>
    </message>
    <message>
        <source>preferences.restoreQuestion</source>
        <translation>Restore every setting to how Lirra comes? Your instrument, tempo, cadence, sounds, note names and practice mode go back to their defaults.</translation>
    </message>
    <message>
        <source>preferences.restore</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>count.sessions.one</source>
        <translation>%1 session</translation>
    </message>
    <message>
        <source>count.sessions.other</source>
        <translation>%1 sessions</translation>
    </message>
    <message>
        <source>count.levels.one</source>
        <translation>%1 level</translation>
    </message>
    <message>
        <source>count.levels.other</source>
        <translation>%1 levels</translation>
    </message>
    <message>
        <source>announce.melodyNote</source>
        <translation>Note %1 of %2: your answer?</translation>
    </message>
    <message>
        <source>announce.rightMelodyNote</source>
        <translation>Right. Note %1 of %2: your answer?</translation>
    </message>
    <message>
        <source>melodiesOf</source>
        <translation>melodies of %1</translation>
    </message>
    <message>
        <source>melody.notNow</source>
        <translation>Stop the session to change the question length.</translation>
    </message>
    <message>
        <source>preferences.oneNote</source>
        <translation>one note</translation>
    </message>
    <message>
        <source>preferences.melodyOf</source>
        <translation>a melody of %1 notes</translation>
    </message>
    <message>
        <source>preferences.questionLengthTip</source>
        <translation>A melody is heard after the cadence and named note by note; each length keeps its own history (%1)</translation>
    </message>
    <message>
        <source>preferences.melodyLeap</source>
        <translation>Melody moves:</translation>
    </message>
    <message>
        <source>preferences.leapSteps</source>
        <translation>by steps</translation>
    </message>
    <message>
        <source>preferences.leapThird</source>
        <translation>up to a third</translation>
    </message>
    <message>
        <source>preferences.leapFifth</source>
        <translation>up to a fifth</translation>
    </message>
    <message>
        <source>preferences.leapAny</source>
        <translation>any interval</translation>
    </message>
    <message>
        <source>preferences.melodyLeapTip</source>
        <translation>The widest move between two neighbouring notes of a melody</translation>
    </message>
    <message>
        <source>melody.slotsFirst</source>
        <translation>Melody of %1 notes: note 1 waiting</translation>
    </message>
    <message>
        <source>melody.slotsWaiting</source>
        <translation>Melody: note %1 of %2 waiting; found %3</translation>
    </message>
    <message>
        <source>melody.slotsDone</source>
        <translation>Melody found: %1</translation>
    </message>
    <message>
        <source>preferences.melodyLength</source>
        <translation>Question:</translation>
    </message>
    <message>
        <source>chord.major</source>
        <translation>%1 major chord</translation>
    </message>
    <message>
        <source>chord.minor</source>
        <translation>%1 minor chord</translation>
    </message>
    <message>
        <source>chord.diminished</source>
        <translation>%1 diminished chord</translation>
    </message>
    <message>
        <source>chords.notNow</source>
        <translation>Stop the session to change between notes and chords.</translation>
    </message>
    <message>
        <source>chords</source>
        <translation>chords</translation>
    </message>
    <message>
        <source>progressionsOf</source>
        <translation>progressions of %1 chords</translation>
    </message>
    <message>
        <source>announce.chord</source>
        <translation>Chord %1 of %2: your answer?</translation>
    </message>
    <message>
        <source>announce.rightChord</source>
        <translation>Right. Chord %1 of %2: your answer?</translation>
    </message>
    <message>
        <source>preferences.questionKind</source>
        <translation>Question kind:</translation>
    </message>
    <message>
        <source>preferences.kindNote</source>
        <translation>a note</translation>
    </message>
    <message>
        <source>preferences.kindChord</source>
        <translation>a chord of the key</translation>
    </message>
    <message>
        <source>preferences.questionKindTip</source>
        <translation>A chord sounds after the cadence and is named by its root; chords have a history of their own (%1)</translation>
    </message>
    <message>
        <source>preferences.chordsRepeat</source>
        <translation>Progressions:</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatOn</source>
        <translation>May repeat a chord</translation>
    </message>
    <message>
        <source>preferences.chordsRepeatTip</source>
        <translation>When a question is several chords, the same chord may come twice in a row</translation>
    </message>
    <message>
        <source>preferences.oneChord</source>
        <translation>one chord</translation>
    </message>
    <message>
        <source>preferences.progressionOf</source>
        <translation>a progression of %1 chords</translation>
    </message>
    <message>
        <source>confusions.explainChords</source>
        <translation>Each row is a chord asked, each column the chord first answered. The diagonal counts right first answers.</translation>
    </message>
</context>
</TS>

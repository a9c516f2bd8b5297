// How the stand-in host reads its key values and note records. A key value holds the number of
// sharps (positive) or flats (negative), -7 to 7, in its low byte and the mode in its high byte
// (0 major, 1 minor); any other value reads as C major. A note's displacement counts diatonic
// steps from the tonic of the key's major scale in the octave of middle C (C4 to B4), and its
// raise/lower alters the key's own accidental for that step. The score text spells notes from
// these rules and FX_NoteToMidi answers with them.
#pragma once

#include <cstdint>
#include <string>

namespace simhost {

struct KeyInfo {
    int fifths = 0;  // sharps (positive) or flats (negative)
    bool minor = false;
    bool known = true;  // false: the value is not one of the above (reads as C major)
};

KeyInfo DecodeKey(uint16_t value);
uint16_t EncodeKey(int fifths, bool minor);

// A pitch as a musician writes it: letter 0-6 (C to B), chromatic accidental, octave (4 holds
// middle C).
struct SpelledPitch {
    int letter = 0;
    int accidental = 0;
    int octave = 4;
};

SpelledPitch Spell(int displacement, int raiseLower, uint16_t key);
// False when the pitch lies outside what a note record can hold.
bool Unspell(const SpelledPitch& pitch, uint16_t key, int16_t* displacement, int16_t* raiseLower);
// The MIDI key number (middle C is 60), limited to 0-127.
int MidiKey(int displacement, int raiseLower, uint16_t key);

// Key names as the score text writes them ("C", "F#", "Bbm"); empty for an unknown value.
std::string KeyName(uint16_t value);
// False for a text that names no key.
bool ParseKeyName(const std::string& text, uint16_t* value);

}  // namespace simhost

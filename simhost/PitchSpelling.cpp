#include "simhost/PitchSpelling.h"

namespace simhost {

namespace {

// Semitones of the natural letters C D E F G A B above C.
const int kNatural[7] = {0, 2, 4, 5, 7, 9, 11};
const char kLetters[] = "CDEFGAB";

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int Mod(int a, int b) { return a - FloorDiv(a, b) * b; }

// The accidental the key signature gives a letter.
int KeyAccidental(int fifths, int letter) {
    // Sharps are added in the order F C G D A E B, flats in the reverse order.
    static const int kSharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};
    for (int i = 0; i < 7; ++i)
        if (kSharpOrder[i] == letter) {
            if (fifths > 0 && i < fifths) return 1;
            if (fifths < 0 && 6 - i < -fifths) return -1;
        }
    return 0;
}

// The tonic letter of the major scale of this many fifths (a fifth is four diatonic steps).
int TonicLetter(int fifths) { return Mod(4 * fifths, 7); }

}  // namespace

KeyInfo DecodeKey(uint16_t value) {
    KeyInfo info;
    const int fifths = int8_t(value & 0xFF);
    const int mode = value >> 8;
    if (fifths < -7 || fifths > 7 || mode > 1) {
        info.known = false;
        return info;
    }
    info.fifths = fifths;
    info.minor = mode == 1;
    return info;
}

uint16_t EncodeKey(int fifths, bool minor) { return uint16_t((minor ? 0x100 : 0) | (uint8_t(int8_t(fifths)))); }

SpelledPitch Spell(int displacement, int raiseLower, uint16_t key) {
    const KeyInfo info = DecodeKey(key);
    const int step = 4 * 7 + TonicLetter(info.fifths) + displacement;
    SpelledPitch pitch;
    pitch.letter = Mod(step, 7);
    pitch.octave = FloorDiv(step, 7);
    pitch.accidental = KeyAccidental(info.fifths, pitch.letter) + raiseLower;
    return pitch;
}

bool Unspell(const SpelledPitch& pitch, uint16_t key, int16_t* displacement, int16_t* raiseLower) {
    const KeyInfo info = DecodeKey(key);
    const long step = long(pitch.octave) * 7 + pitch.letter;
    const long disp = step - (4 * 7 + TonicLetter(info.fifths));
    const long raise = long(pitch.accidental) - KeyAccidental(info.fifths, pitch.letter);
    if (disp < -32768 || disp > 32767 || raise < -32768 || raise > 32767) return false;
    if (displacement) *displacement = int16_t(disp);
    if (raiseLower) *raiseLower = int16_t(raise);
    return true;
}

int MidiKey(int displacement, int raiseLower, uint16_t key) {
    const SpelledPitch pitch = Spell(displacement, raiseLower, key);
    const long midi = 12L * (pitch.octave + 1) + kNatural[pitch.letter] + pitch.accidental;
    return midi < 0 ? 0 : (midi > 127 ? 127 : int(midi));
}

std::string KeyName(uint16_t value) {
    const KeyInfo info = DecodeKey(value);
    if (!info.known) return std::string();
    // The minor tonic lies a sixth above the major tonic (five diatonic steps).
    const int letter = Mod(TonicLetter(info.fifths) + (info.minor ? 5 : 0), 7);
    const int accidental = KeyAccidental(info.fifths, letter);
    std::string name(1, kLetters[letter]);
    if (accidental > 0) name += '#';
    if (accidental < 0) name += 'b';
    if (info.minor) name += 'm';
    return name;
}

bool ParseKeyName(const std::string& text, uint16_t* value) {
    for (int mode = 0; mode <= 1; ++mode)
        for (int fifths = -7; fifths <= 7; ++fifths) {
            const uint16_t candidate = EncodeKey(fifths, mode == 1);
            if (KeyName(candidate) == text) {
                if (value) *value = candidate;
                return true;
            }
        }
    return false;
}

}  // namespace simhost

// Copied pitches: FCNotePitches holds the detached note copies of one entry, and
// FCNotePitchesCollection one FCNotePitches per entry of a group. Both own their elements;
// neither depends on the entries the pitches were copied from.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/entries/FCNote.h"

class FCNotePitches : public __FCCollection {
public:
    FC_CLASS_INFO(FCNotePitches)
    FCNotePitch* GetItemAt(int i) const { return ItemAs<FCNotePitch>(i); }
};

class FCNotePitchesCollection : public __FCCollection {
public:
    FC_CLASS_INFO(FCNotePitchesCollection)
    FCNotePitches* GetItemAt(int i) const { return ItemAs<FCNotePitches>(i); }
};

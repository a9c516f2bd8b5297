// Hairpins: in every staff of the selection one crescendo or diminuendo hairpin, or a pair of
// them, over the selection less a padding, after the old hairpins of the selection are removed.
#include "framework/score/FCMusicRegion.h"
#include "plugin/PatternSettings.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"

namespace {

// Fixed paddings (EDUs) of the choices up to "Dotted 8th length"; the choices after them are
// percentages of the region.
const int32_t kFixedPaddings[] = {0, 128, 192, 256, 384, 512, 768};
constexpr int kFixedPaddingCount = int(sizeof kFixedPaddings / sizeof kFixedPaddings[0]);
const int kPercentPaddings[] = {2, 4, 6};
constexpr int kPaddingCount = kFixedPaddingCount + int(sizeof kPercentPaddings / sizeof kPercentPaddings[0]);

// The task's shape choices.
enum HairpinType { kSingleCrescendo, kSingleDiminuendo, kCrescendoDiminuendo, kDiminuendoCrescendo };

}  // namespace

int32_t FCDynamicsBlockHandler::CalcPadding(int padding, int32_t duration) {
    if (padding >= 0 && padding < kFixedPaddingCount) return kFixedPaddings[padding];
    if (padding >= kFixedPaddingCount && padding < kPaddingCount)
        return int32_t(int64_t(duration) * kPercentPaddings[padding - kFixedPaddingCount] / 100);
    return 0;
}

bool FCDynamicsBlockHandler::PlaceHairpin(int staff, FCMusicRegion* region, int shapeType, int verticalOffset,
                                          bool music, bool shrink) {
    const int startMeasure = region->GetStartMeasure(), endMeasure = region->GetEndMeasure();
    const int32_t startPosition = region->GetStartMeasurePos(), endPosition = region->GetEndMeasurePos();
    const bool startOnMusic = !music || FindSoundingLayer(startMeasure, staff, startPosition, kMusicTolerance) != 0;
    const bool endOnMusic = !music || FindSoundingLayer(endMeasure, staff, endPosition, kMusicTolerance) != 0;
    if (!startOnMusic && !endOnMusic) return false;

    if (music && shrink) {
        int measure = startMeasure;
        int32_t position = startPosition;
        if (!startOnMusic && ShrinkStart(staff, &measure, &position)) {
            region->SetStartMeasure(measure);
            region->SetStartMeasurePos(position);
        }
        measure = endMeasure;
        position = endPosition;
        if (!endOnMusic && ShrinkEnd(staff, &measure, &position)) {
            region->SetEndMeasure(measure);
            region->SetEndMeasurePos(position);
        }
    }
    const bool created =
        region->CalcDuration() >= kShortestHairpin && CreateHairpin(staff, region, shapeType, verticalOffset);
    region->SetStartMeasure(startMeasure);
    region->SetStartMeasurePos(startPosition);
    region->SetEndMeasure(endMeasure);
    region->SetEndMeasurePos(endPosition);
    return created;
}

bool FCDynamicsBlockHandler::ExecuteHairpins() {
    const PatternSettings& settings = ThePatternSettings();
    FCMusicRegion selection;
    selection.SetCurrentSelection();
    if (selection.IsEmpty()) return false;
    const int type = settings.QZPT_DYNAMICS_HAIRPINS_TYPE;
    if (type < kSingleCrescendo || type > kDiminuendoCrescendo) return false;
    const bool pair = type == kCrescendoDiminuendo || type == kDiminuendoCrescendo;

    const int32_t duration = selection.CalcDuration();
    const int32_t padding = CalcPadding(settings.QZPT_DYNAMICS_HAIRPINS_PADDING, duration);
    if (int64_t(pair ? 3 : 2) * padding + kShortestHairpin >= duration) return false;

    bool changed = RemoveHairpins(0, &selection);
    const int offset =
        CalcVerticalOffset(settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS, settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS);
    const bool music = settings.QZPT_DYNAMICS_HAIRPINS_MUSIC;
    const bool shrink = settings.QZPT_DYNAMICS_HAIRPINS_SHRINK;
    for (int slot = selection.GetStartSlot(); slot <= selection.GetEndSlot(); ++slot) {
        const int staff = selection.CalcStaffNumber(slot);
        FCMusicRegion region = selection;
        if (!pair) {
            if (padding > 0) {
                region.MoveStartToDuration(duration - padding);
                region.MoveEndToDuration(duration - 2 * padding);
            }
            changed |= PlaceHairpin(staff, &region, type == kSingleCrescendo ? kCrescendo : kDiminuendo, offset, music,
                                    shrink);
            continue;
        }
        const int32_t length = (duration - 3 * padding) / 2;
        const int first = type == kCrescendoDiminuendo ? kCrescendo : kDiminuendo;
        region.MoveEndToDuration(padding + length);
        region.MoveStartToDuration(length);
        changed |= PlaceHairpin(staff, &region, first, offset, music, shrink);
        region = selection;
        region.MoveStartToDuration(padding + length);
        region.MoveEndToDuration(length);
        changed |= PlaceHairpin(staff, &region, first == kCrescendo ? kDiminuendo : kCrescendo, offset, music, shrink);
    }
    return changed;
}

#include "framework/host/__FCCellDetail.h"

#include "framework/score/FCCell.h"

void __FCCellDetail::ConnectToCell(FCCell* cell) { cell_ = cell; }

bool __FCCellDetail::SetKeyFromCell() {
    if (!cell_) return false;
    SetKeyWord(0, uint16_t(cell_->GetStaff()));
    SetKeyWord(1, uint16_t(cell_->GetMeasure()));
    SetKeyWord(2, 0);
    SetKeyWord(3, 0);
    return true;
}

bool __FCCellDetail::Load(int staff, int measure, uint16_t inci) {
    SetKeyWord(0, uint16_t(staff));
    SetKeyWord(1, uint16_t(measure));
    SetKeyWord(2, inci);
    SetKeyWord(3, 0);
    return Reload();
}

bool __FCCellDetail::LoadFirst() {
    if (!SetKeyFromCell()) return false;
    return Reload();
}

bool __FCCellDetail::LoadNext() { return StepKeyWordAndReload(2, 1); }

bool __FCCellDetail::LoadPrevious() { return StepKeyWordAndReload(2, -1); }

bool __FCCellDetail::LoadLast() {
    if (!SetKeyFromCell()) return false;
    if (!Reload()) return false;
    uint16_t last = 0;
    while (last < 0xFFFE) {
        SetKeyWord(2, uint16_t(last + 1));
        if (!Reload()) break;
        ++last;
    }
    SetKeyWord(2, last);
    return Reload();
}

bool __FCCellDetail::SaveNew() {
    if (!cell_ || !IsLoaded()) return false;
    SetKeyFromCell();
    SetKeyWord(2, 0xFFFF);
    if (!hostapi::FX_CreateEData(GetTag(), &Key(), Data(), uint32_t(GetLoadedSize()), GetDataVersion())) return false;
    OnCreated();
    return true;
}

int __FCCellDetail::GetMeasure() { return cell_ ? cell_->GetMeasure() : GetKeyWord(1); }

int __FCCellDetail::GetStaff() { return cell_ ? cell_->GetStaff() : GetKeyWord(0); }

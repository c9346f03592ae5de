#pragma once
// Test fixture: the adapter board with the target chip behind it. The board
// keeps its text mode; every binary record and board operation goes to the
// shared chip model, which answers it.

#include "BoardEmulator.h"
#include "ChipModel.h"

namespace testing_support {

class ChipBoardEmulator : public BoardEmulator {
public:
    explicit ChipBoardEmulator(zern::chipmodel::ChipSettings settings = {}) : chip_(std::move(settings)) {}
    ~ChipBoardEmulator() override { stop(); }

    // The chip locks itself, so a test may look at it while the board runs.
    zern::chipmodel::ChipModel& chip() { return chip_; }

protected:
    std::vector<uint8_t> answerRecord(const std::vector<uint8_t>& record) override { return chip_.exchange(record); }
    uint8_t answerBoardOperation(uint8_t operation) override { return chip_.boardOperation(operation); }

private:
    zern::chipmodel::ChipModel chip_;
};

// Chip settings for one core kind, everything else as the model's defaults.
inline zern::chipmodel::ChipSettings chipFor(bool core32)
{
    zern::chipmodel::ChipSettings settings;
    settings.core = core32 ? zern::chipmodel::CoreKind::Core32 : zern::chipmodel::CoreKind::Core16;
    return settings;
}

}  // namespace testing_support

#include "TThreadSimulator.h"

#include <QMetaObject>
#include <QObject>

#include "AbstractDevice.h"

TThreadSimulator::TThreadSimulator(std::function<void(int)> onStopped)
    : onStopped_(std::move(onStopped)), mailbox_(std::make_unique<QObject>()), thread_([this] { Execute(); })
{}

TThreadSimulator::~TThreadSimulator()
{
    Shutdown(nullptr);
}

void TThreadSimulator::Run(AbstractDevice& device)
{
    Give(device, CommandRun, 0);
}

void TThreadSimulator::StepInto(AbstractDevice& device)
{
    Give(device, CommandStepInto, 0);
}

void TThreadSimulator::StepOver(AbstractDevice& device)
{
    Give(device, CommandStepOver, 0);
}

void TThreadSimulator::StepOut(AbstractDevice& device)
{
    Give(device, CommandStepOut, 0);
}

void TThreadSimulator::RunTo(AbstractDevice& device, unsigned address)
{
    Give(device, CommandRunTo, address);
}

void TThreadSimulator::Give(AbstractDevice& device, RunCommand command, unsigned address)
{
    const std::lock_guard guard(lock_);
    if (terminated_)
        return;
    everStarted_ = true;
    outstanding_ = ++lastSequence_;
    device_ = &device;
    command_ = command;
    address_ = address;
    sequence_ = outstanding_;
    pending_ = true;
    wake_.notify_one();
}

void TThreadSimulator::Halt(AbstractDevice& device)
{
    notify_ = false;
    outstanding_ = 0;
    if (everStarted_)
        device.Stop();
    {
        // Taking the lock waits for a command in progress to return.
        const std::lock_guard guard(lock_);
        notify_ = true;
    }
}

void TThreadSimulator::Shutdown(AbstractDevice* device)
{
    if (!thread_.joinable())
        return;
    notify_ = false;
    outstanding_ = 0;
    if (everStarted_ && device)
        device->Stop();
    {
        const std::lock_guard guard(lock_);
        terminated_ = true;
        wake_.notify_one();
    }
    thread_.join();
}

void TThreadSimulator::Execute()
{
    std::unique_lock guard(lock_);
    for (;;) {
        wake_.wait(guard, [this] { return pending_ || terminated_; });
        if (terminated_)
            return;
        pending_ = false;
        int runResult = tolvane::kRunFailed;
        switch (command_) {
        case CommandRun:
            runResult = device_->Run();
            break;
        case CommandStepInto:
            runResult = device_->StepInto();
            break;
        case CommandStepOver:
            runResult = device_->StepOver();
            break;
        case CommandStepOut:
            runResult = device_->StepOut();
            break;
        case CommandRunTo:
            runResult = device_->RunToAddress(address_);
            break;
        }
        if (notify_) {
            const uint64_t sequence = sequence_;
            QMetaObject::invokeMethod(
                mailbox_.get(), [this, runResult, sequence] { Deliver(runResult, sequence); }, Qt::QueuedConnection);
        }
    }
}

void TThreadSimulator::Deliver(int runResult, uint64_t sequence)
{
    // A result that crossed a Halt on its way belongs to a run that no longer exists.
    if (sequence != outstanding_)
        return;
    outstanding_ = 0;
    onStopped_(runResult);
}

#pragma once

#include "dialogkit/Dialog.h"

#include <QKeyEvent>

#include <algorithm>
#include <functional>
#include <vector>

namespace lumora::dialogkit::testing {

// A dialog whose message table records every notification. The OK and cancel clicks keep their
// default handling (their rows carry no handler), system commands are recorded and then get the
// default handling. Tests hook extra behaviour in through the public callbacks.
class RecordingDialog : public Dialog {
public:
    explicit RecordingDialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr)
        : Dialog(dialogTemplate, owner) {
        const Handler record = [this](const NotifyEvent& event) {
            events.push_back(event);
            if (onEvent) {
                onEvent(event);
            }
        };
        setMessageTable({
            {Notification::Clicked, kIdOk, {}},
            {Notification::Clicked, kIdCancel, {}},
            {Notification::Clicked, kNoControl, record},
            {Notification::DoubleClicked, kNoControl, record},
            {Notification::TextChanged, kNoControl, record},
            {Notification::ReleasedCapture, kNoControl, record},
            {Notification::VerticalScroll, kNoControl, record},
            {Notification::HorizontalScroll, kNoControl, record},
            {Notification::DropDown, kNoControl, record},
            {Notification::SelectionConfirmed, kNoControl, record},
            {Notification::Destroy, kNoControl, record},
            {Notification::SysCommand, kNoControl,
             [this, record](const NotifyEvent& event) {
                 record(event);
                 defaultSysCommand(event.param);
             }},
        });
    }

    int count(Notification notification, int controlId = kNoControl) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const NotifyEvent& event) {
            return event.notification == notification &&
                   (controlId == kNoControl || event.controlId == controlId);
        }));
    }

    std::vector<NotifyEvent> events;
    std::function<void(const NotifyEvent&)> onEvent;
    std::function<bool(const QKeyEvent&)> keyHook;
    std::function<void()> onInit;

protected:
    void initDialog() override {
        if (onInit) {
            onInit();
        }
    }
    bool preTranslateKey(const QKeyEvent& event) override { return keyHook && keyHook(event); }
};

} // namespace lumora::dialogkit::testing

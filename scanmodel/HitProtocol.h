#pragma once
// The hit callback protocol that every scan of the model follows.

#include "platform/rtl/Classes.h"

#include <memory>
#include <string>

/// Hands a new hit to Owner's handler and acts on its answer: mrNone or mrOk append the hit
/// (the one the handler left in place) to Owner's hits, mrCancel frees it, mrAbort frees it and
/// raises the silent EAbort. An exception of the handler frees the hit and passes on.
template <class Hit, class Handler, class Node>
void OfferHit(Node& Owner, const Handler& OnHit, std::unique_ptr<Hit> New, const std::string& Filename) {
    Hit* Raw = New.release();
    TModalResult Accept = mrNone;
    try {
        OnHit(&Owner, Raw, Filename, Accept);
    } catch (...) {
        delete Raw;
        throw;
    }
    std::unique_ptr<Hit> Owned(Raw);
    if (Accept == mrCancel)
        return;
    if (Accept == mrAbort)
        Abort();
    Owner.AddHit(Owned.release());
}

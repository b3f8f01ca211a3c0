#pragma once

#include "model/basKelva.h"

namespace kelvane {
class ConsultationWindow;
}

// The consultation: the walk that starts when the user clicks a node in the diagram, through
// pending preconditions, the question and the knowledge base's reasoning, into lower-level
// networks and back out of them. The dialogs are modeless: a procedure opens one and
// returns at once, and the consultation goes on from that dialog's buttons. Every step
// raises its Before and After events on the live KnowledgeBase object, whose handlers may
// cancel or redirect it.
//
// The calling window is the main window, a preconditions dialog, or none when no
// preconditions dialog stands behind a question or answer dialog. The main window stays
// disabled while the consultation's dialogs are open. Every procedure reports its own
// failures (module "basKelva") and then returns false; after a failure the main window is
// enabled again when no consultation dialog is left showing.
namespace basKelva {

// A click on the node: its pending preconditions first, else the lower-level network of an
// external node, else its question. True when a preconditions or question dialog was opened.
bool HandleViewerNodeClickEvents(const NodePtr& node, kelvane::ConsultationWindow* window);

// The preconditions dialog of the node. True when it was opened.
bool HandlePreconditionEvents(const NodePtr& node, kelvane::ConsultationWindow* window);

// The question dialog of the node. True when it was opened.
bool HandleQuestionEvents(const NodePtr& node, kelvane::ConsultationWindow* window);

// The answer dialog of a node just answered that has links.
void HandleAnswerEvents(const NodePtr& node, kelvane::ConsultationWindow* window);

// Back from an answered node: out of its lower-level network when it is the one entered
// last, to the preconditions dialog it was asked from, or to the main window.
void HandleBackwardChain(const NodePtr& node, kelvane::ConsultationWindow* window);

// Enables the main window when no consultation dialog is showing.
void EnableMainWindowWhenIdle();

} // namespace basKelva

#pragma once
// For the program's end, after which a capture's thread would stop halfway.
class CaptureJob;

// Gives the capture up: its thread begins no step more, and what it had
// done to a minimised window and not yet undone is put back while the
// window does not answer: what the system holds at once, the rest queued to
// the window in the order in which it takes it, behind the call that the
// capture is still waiting for. A capture that has finished, or has
// minimised the window again, leaves nothing to move or to show.
void PutBackWithoutAnswer(CaptureJob& job);

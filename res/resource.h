#pragma once
// Resource ids shared by the whole program; each subsystem keeps its own
// dialog and control ids in its own header beside its script here.

#include "display/usage_snapshot.h"

UsageSnapshot SnapshotOf(const UsageState& state) {
    UsageSnapshot snapshot;
    snapshot.planLimits = state.planLimits;
    snapshot.codex = state.codex;
    snapshot.claude = state.claude;
    snapshot.history = state.history;
    snapshot.accounts = state.accounts;
    snapshot.hasUpdate = state.publishedAt != 0;
    snapshot.lastUpdate = state.publishedAt;
    return snapshot;
}

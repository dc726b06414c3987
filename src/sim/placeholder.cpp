// Placeholder until the simulated unit lands.
namespace tavio::sim { int SimAnchor() { return 0; } }

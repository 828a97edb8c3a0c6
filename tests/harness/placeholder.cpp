// Shared helpers of the headless test harness.

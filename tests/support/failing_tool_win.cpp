// Test helper: stands in for a system tool that fails (exit code 1).
int main() {
    return 1;
}

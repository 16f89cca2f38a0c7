// Stands in for the game's executable in the Wine tests: start-up reads only its version resource.
int main() {
    return 0;
}

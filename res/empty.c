/* nothing embedded yet */ int novares_placeholder;

#!/usr/bin/perl
# windres writes every control class name of a dialog template in upper case; the
# templates name their classes as Windows spells them. Restores the given spellings in
# a compiled .res file (UTF-16LE).
# Usage: RestoreClassCase.pl FILE.res classname...
use strict;
use warnings;

my ($file, @names) = @ARGV;
open(my $in, '<:raw', $file) or die "$file: $!\n";
local $/;
my $data = <$in>;
close($in);
for my $name (@names) {
    my $upper = join('', map { $_ . "\0" } split(//, uc $name));
    my $spelled = join('', map { $_ . "\0" } split(//, $name));
    $data =~ s/\Q$upper\E/$spelled/g;
}
open(my $out, '>:raw', $file) or die "$file: $!\n";
print $out $data;
close($out) or die "$file: $!\n";

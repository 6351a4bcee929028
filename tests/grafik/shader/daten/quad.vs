// A quad passed through: clip-space position and texture coordinates.
$rein float3 pos;
$rein float2 uv;
$raus float4 position;
$raus float2 tex;

$main()
{
	position = float4( pos, 1.0f);
	tex = TEXKOORD( uv);
}
